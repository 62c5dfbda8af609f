// Geodesic problems on an ellipsoid of revolution, solved by GeographicLib.
#pragma once

#include <GeographicLib/Geodesic.hpp>

#include <cstddef>

#include "core/strided.hpp"

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
    // a: equatorial radius in metres, f: flattening.  The caller checks them
    // (a > 0, f < 1, both finite): GeographicLib throws otherwise.
    Geodesic(double a, double f);

    double equatorial_radius() const noexcept { return solver_.EquatorialRadius(); }
    double flattening() const noexcept { return solver_.Flattening(); }

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

    const GeographicLib::Geodesic& solver() const noexcept { return solver_; }

private:
    GeographicLib::Geodesic solver_;
};

// The one process-wide WGS84 solver, created on first use by any thread.
const Geodesic& wgs84() noexcept;

// Output columns of the inverse problem over arrays.  A column without data
// is not wanted, and GeographicLib is asked only for what is wanted.
struct InverseColumns {
    StridedOut s12{}, azi1{}, azi2{}, a12{}, m12{}, M12{}, M21{}, S12{};
};

// Output columns of the direct problem over arrays; a12 is the arc length.
struct DirectColumns {
    StridedOut lat2{}, lon2{}, azi2{}, a12{}, m12{}, M12{}, M21{}, S12{};
};

// For i in [0, n): the inverse problem from (lat1[i], lon1[i]) to
// (lat2[i], lon2[i]), its wanted outputs written to element i of `out`.
void inverse_strided(const Geodesic& g, StridedIn lat1, StridedIn lon1, StridedIn lat2,
                     StridedIn lon2, const InverseColumns& out, std::size_t n) noexcept;

// For i in [0, n): the direct problem from (lat1[i], lon1[i]) along azi1[i]
// for s12[i] metres.
void direct_strided(const Geodesic& g, StridedIn lat1, StridedIn lon1, StridedIn azi1,
                    StridedIn s12, const DirectColumns& out, std::size_t n) noexcept;

}  // namespace orvik::core
