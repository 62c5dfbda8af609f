#include "core/geodesic.hpp"

namespace orvik::core {

Geodesic::Geodesic() : solver_(WGS84_A, WGS84_F) {}

GeodesicResult Geodesic::inverse_full(double lat1, double lon1, double lat2,
                                      double lon2) const noexcept {
    GeodesicResult r{lat1, lon1, lat2, lon2};
    r.a12 = solver_.Inverse(lat1, lon1, lat2, lon2, r.s12, r.azi1, r.azi2, r.m12, r.M12, r.M21,
                            r.S12);
    return r;
}

GeodesicResult Geodesic::direct(double lat1, double lon1, double azi1, double s12) const noexcept {
    GeodesicResult r{lat1, lon1};
    r.azi1 = azi1;
    r.s12 = s12;
    solver_.Direct(lat1, lon1, azi1, s12, r.lat2, r.lon2, r.azi2);
    return r;
}

const Geodesic& wgs84() noexcept {
    // A function-local static: concurrent first callers wait for the one
    // construction, and every later call is a single acquire load.
    static const Geodesic instance;
    return instance;
}

}  // namespace orvik::core
