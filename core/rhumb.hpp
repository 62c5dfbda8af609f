// Rhumb lines (loxodromes: courses of constant bearing) on an ellipsoid of
// revolution, solved by GeographicLib's Rhumb.  Needs GeographicLib 2.3 or
// later (ORVIK_HAVE_RHUMB), whose Rhumb keeps poles as endpoints and gives
// areas accurate to rounding; with an older library none of this is built.
#pragma once

#if ORVIK_HAVE_RHUMB

#include <GeographicLib/Rhumb.hpp>

#include <cmath>
#include <cstddef>

#include "core/strided.hpp"

namespace orvik::core {

class Rhumb {
public:
    // a: equatorial radius in metres, f: flattening, checked by the caller
    // (GeographicLib throws otherwise).  `exact` computes the auxiliary
    // latitudes in closed form instead of by series in the flattening: the
    // series are accurate to rounding for |f| <= 0.01 and degrade beyond
    // (2e-12 relative at 0.02); exact costs more per problem and far more to
    // construct (a Fourier fit of the area integrand).
    Rhumb(double a, double f, bool exact);

    double equatorial_radius() const noexcept { return solver_.EquatorialRadius(); }
    double flattening() const noexcept { return solver_.Flattening(); }
    bool exact() const noexcept { return exact_; }

    // The length of the rhumb line from point 1 to point 2, metres; NaN where
    // a coordinate is NaN or infinite or a latitude is beyond 90.
    double distance(double lat1, double lon1, double lat2, double lon2) const noexcept;

    const GeographicLib::Rhumb& solver() const noexcept { return solver_; }

private:
    GeographicLib::Rhumb solver_;
    bool exact_;
};

// The one process-wide WGS84 solver (series, not exact), made on first use.
const Rhumb& wgs84_rhumb() noexcept;

// Whether a latitude is one (NaN is not): GeographicLib's Rhumb takes
// latitudes beyond 90 for angles of their own, where its geodesics give NaN.
inline bool is_latitude(double lat) noexcept { return std::fabs(lat) <= 90; }

// Output columns of the problems over arrays, one per bit of a mask, as
// in core/geodesic.hpp: column k holds the output of bit 1 << k, and only
// those asked for are computed.
inline constexpr std::size_t rhumb_output_columns = 3;

// Outputs of the inverse rhumb problem from (lat1, lon1) to (lat2, lon2).
// The line is the shorter way around in longitude (east-going when the two
// longitudes are 180 apart).  A line from or to a pole is the meridian of
// the other point: its azimuth (0 or 180) and length ignore the pole's
// longitude, and S12 takes it for the area's corner at the pole.
enum RhumbInverseOutput : unsigned {
    rhumb_inverse_s12 = 1u << 0,    // length of the line, metres
    rhumb_inverse_azi12 = 1u << 1,  // its constant azimuth, degrees clockwise from north, in [-180, 180]
    rhumb_inverse_S12 = 1u << 2,    // area between the line and the equator, m^2 (counter-clockwise positive)
};

// Outputs of the direct rhumb problem from (lat1, lon1) along azi12 for s12
// metres (negative: backwards).  A line that is not a meridian spirals into a
// pole after a finite length; one that would go past it has no defined
// longitude: lon2 and S12 are NaN there, and lat2 is that of the meridian
// continued over the pole, as GeographicLib gives it.  From a pole too, lon2
// and S12 are NaN: there an azimuth names no meridian.
enum RhumbDirectOutput : unsigned {
    rhumb_direct_lat2 = 1u << 0,  // latitude of the end point, degrees
    rhumb_direct_lon2 = 1u << 1,  // longitude of the end point, degrees, reduced to [-180, 180]
    rhumb_direct_S12 = 1u << 2,   // area between the line and the equator, m^2
};

// For i in [0, n): the inverse problem from (in[0][i], in[1][i]) to
// (in[2][i], in[3][i]); each output whose bit is in `mask` goes to element i
// of out[k].  A NaN or infinite input, or a latitude beyond 90, gives NaN.
void rhumb_inverse_strided(const Rhumb& r, const StridedIn* in, const StridedOut* out, unsigned mask,
                           std::size_t n) noexcept;

// For i in [0, n): the direct problem from (in[0][i], in[1][i]) along the
// azimuth in[2][i] for in[3][i] metres; outputs and NaN as above.
void rhumb_direct_strided(const Rhumb& r, const StridedIn* in, const StridedOut* out, unsigned mask,
                          std::size_t n) noexcept;

}  // namespace orvik::core

#endif  // ORVIK_HAVE_RHUMB
