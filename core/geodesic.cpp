#include "core/geodesic.hpp"

namespace orvik::core {
namespace {

using Mask = GeographicLib::Geodesic::mask;

unsigned inverse_mask(const InverseColumns& out) noexcept {
    unsigned mask = 0;
    if (out.s12) mask |= Mask::DISTANCE;
    if (out.azi1 || out.azi2) mask |= Mask::AZIMUTH;
    if (out.m12) mask |= Mask::REDUCEDLENGTH;
    if (out.M12 || out.M21) mask |= Mask::GEODESICSCALE;
    if (out.S12) mask |= Mask::AREA;
    return mask;
}

unsigned direct_mask(const DirectColumns& out) noexcept {
    // The latitude and the azimuth come with every solution.
    unsigned mask = Mask::LATITUDE | Mask::AZIMUTH;
    if (out.lon2) mask |= Mask::LONGITUDE;
    if (out.m12) mask |= Mask::REDUCEDLENGTH;
    if (out.M12 || out.M21) mask |= Mask::GEODESICSCALE;
    if (out.S12) mask |= Mask::AREA;
    return mask;
}

// Writes the wanted outputs of element i: the columns and the values in the
// same order.
void put(const StridedOut (&columns)[8], std::size_t i, const double (&values)[8]) noexcept {
    for (std::size_t k = 0; k < 8; ++k) {
        if (columns[k]) columns[k].set(i, values[k]);
    }
}

}  // namespace

Geodesic::Geodesic(double a, double f) : solver_(a, f) {}

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
    static const Geodesic instance(WGS84_A, WGS84_F);
    return instance;
}

void inverse_strided(const Geodesic& g, StridedIn lat1, StridedIn lon1, StridedIn lat2,
                     StridedIn lon2, const InverseColumns& out, std::size_t n) noexcept {
    const unsigned mask = inverse_mask(out);
    const GeographicLib::Geodesic& solver = g.solver();
    const StridedOut columns[8] = {out.s12, out.azi1, out.azi2, out.a12, out.m12, out.M12, out.M21, out.S12};
    for (std::size_t i = 0; i < n; ++i) {
        double v[8] = {};  // s12, azi1, azi2, a12, m12, M12, M21, S12
        v[3] = solver.GenInverse(lat1[i], lon1[i], lat2[i], lon2[i], mask, v[0], v[1], v[2], v[4], v[5],
                                 v[6], v[7]);
        put(columns, i, v);
    }
}

void direct_strided(const Geodesic& g, StridedIn lat1, StridedIn lon1, StridedIn azi1,
                    StridedIn s12, const DirectColumns& out, std::size_t n) noexcept {
    const unsigned mask = direct_mask(out);
    const GeographicLib::Geodesic& solver = g.solver();
    const StridedOut columns[8] = {out.lat2, out.lon2, out.azi2, out.a12, out.m12, out.M12, out.M21, out.S12};
    for (std::size_t i = 0; i < n; ++i) {
        double v[8] = {};  // lat2, lon2, azi2, a12, m12, M12, M21, S12
        double s12_out = 0;
        v[3] = solver.GenDirect(lat1[i], lon1[i], azi1[i], false, s12[i], mask, v[0], v[1], v[2], s12_out,
                                v[4], v[5], v[6], v[7]);
        put(columns, i, v);
    }
}

}  // namespace orvik::core
