// The WGS84 ellipsoid's geodesic problems, solved by GeographicLib.
#pragma once

#include <GeographicLib/Geodesic.hpp>

namespace orvik::core {

inline constexpr double WGS84_A = 6378137.0;
inline constexpr double WGS84_F = 1.0 / 298.257223563;

// Fields an operation does not compute hold +0.0; fields that echo arguments
// hold them bit for bit.
struct GeodesicResult {
    double lat1 = 0.0, lon1 = 0.0, lat2 = 0.0, lon2 = 0.0;
    double a12 = 0.0, s12 = 0.0, azi1 = 0.0, azi2 = 0.0;
    double m12 = 0.0, M12 = 0.0, M21 = 0.0, S12 = 0.0;
};

class Geodesic {
public:
    Geodesic();

    // Distance and azimuths (and the arc length).
    GeodesicResult inverse(double lat1, double lon1, double lat2, double lon2) const noexcept {
        GeodesicResult r{lat1, lon1, lat2, lon2};
        r.a12 = solver_.Inverse(lat1, lon1, lat2, lon2, r.s12, r.azi1, r.azi2);
        return r;
    }
    // Every output the solver has: also reduced length, scales and area.
    GeodesicResult inverse_full(double lat1, double lon1, double lat2, double lon2) const noexcept;
    // End point and azimuth from a start point, azimuth and distance.
    GeodesicResult direct(double lat1, double lon1, double azi1, double s12) const noexcept;

private:
    GeographicLib::Geodesic solver_;
};

// The one process-wide WGS84 solver, created on first use by any thread.
const Geodesic& wgs84() noexcept;

}  // namespace orvik::core
