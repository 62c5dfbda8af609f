// Geodesic problems on an ellipsoid of revolution, solved by GeographicLib.
#pragma once

#include <GeographicLib/Geodesic.hpp>

#include <cstddef>
#include <memory>
#include <mutex>

#include "core/strided.hpp"

namespace GeographicLib {
class Intersect;
}

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

    // GeographicLib's Intersect for this ellipsoid, made on first use (some
    // 40 us) and kept; null where the ellipsoid is too eccentric for it, or
    // the library has none.  Its queries count their calls in mutable
    // members, so threads must not share it: each calls its own copy.
    // Throws std::bad_alloc.
    const GeographicLib::Intersect* intersector() const;

private:
    GeographicLib::Geodesic solver_;
    mutable std::once_flag intersector_made_;
    mutable std::shared_ptr<const GeographicLib::Intersect> intersector_;
};

// The one process-wide WGS84 solver, created on first use by any thread.
const Geodesic& wgs84() noexcept;

// The problems over arrays write up to eight output columns, one per bit of
// a mask, as GeographicLib's Geodesic::mask selects what it computes: column
// k holds the output of bit 1 << k, and only the outputs whose bits are set
// are computed (GeographicLib is asked for what they need and no more).
inline constexpr std::size_t geodesic_output_columns = 8;

// Outputs of the inverse problem between (lat1, lon1) and (lat2, lon2).
enum InverseOutput : unsigned {
    inverse_s12 = 1u << 0,   // distance between the points, metres
    inverse_azi1 = 1u << 1,  // azimuth at point 1, degrees clockwise from north
    inverse_azi2 = 1u << 2,  // azimuth at point 2 (the direction of travel), degrees
    inverse_a12 = 1u << 3,   // arc length on the auxiliary sphere, degrees
    inverse_m12 = 1u << 4,   // reduced length, metres
    inverse_M12 = 1u << 5,   // geodesic scale of point 2 relative to point 1 (dimensionless)
    inverse_M21 = 1u << 6,   // geodesic scale of point 1 relative to point 2 (dimensionless)
    inverse_S12 = 1u << 7,   // area between the geodesic and the equator, square metres
};

// Outputs of the direct problem from (lat1, lon1) along azi1 for s12 metres.
enum DirectOutput : unsigned {
    direct_lat2 = 1u << 0,  // latitude of the end point, degrees
    direct_lon2 = 1u << 1,  // longitude of the end point, degrees, reduced to [-180, 180]
    direct_azi2 = 1u << 2,  // azimuth at the end point, degrees
    direct_a12 = 1u << 3,   // arc length on the auxiliary sphere, degrees
    direct_m12 = 1u << 4,   // reduced length, metres
    direct_M12 = 1u << 5,   // geodesic scale of point 2 relative to point 1
    direct_M21 = 1u << 6,   // geodesic scale of point 1 relative to point 2
    direct_S12 = 1u << 7,   // area between the geodesic and the equator, square metres
};

// For i in [0, n): the inverse problem from (in[0][i], in[1][i]) to
// (in[2][i], in[3][i]); each output whose bit is in `mask` goes to element i
// of its column out[k] (columns of other outputs are not touched).
void inverse_strided(const Geodesic& g, const StridedIn* in, const StridedOut* out, unsigned mask,
                     std::size_t n) noexcept;

// For i in [0, n): the direct problem from (in[0][i], in[1][i]) along the
// azimuth in[2][i] for in[3][i] metres; outputs as above.
void direct_strided(const Geodesic& g, const StridedIn* in, const StridedOut* out, unsigned mask,
                    std::size_t n) noexcept;

}  // namespace orvik::core
