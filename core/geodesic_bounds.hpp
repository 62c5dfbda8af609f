// Lower bounds on geodesic distances from straight-line geometry, and the
// margins that keep them below GeographicLib's computed distances, for
// searches that must prove that what they skip cannot be nearer.
//
// GeographicLib's s12 keeps to such bounds within 1.5e-11 (relative) for
// |f| <= 0.1 (measured on 10^6 pairs per ellipsoid: random, near-antipodal,
// polar, and short lines along the meridians of the equator).  Its series
// are truncated at order n^6 (n = f / (2 - f), the third flattening), so
// for flatter ellipsoids it departs by up to a few percent of n^7, which the
// relative margin adds; for |n| > 0.5 (f > 2/3 or f < -2) no bound is relied
// on.  The absolute margin, 1e-10 of the radius (0.6 mm on the Earth),
// covers the rounding of unit vectors (about 1e-16) and GeographicLib's
// distances (15 nm).
#pragma once

#include <GeographicLib/Math.hpp>

#include <array>
#include <cmath>
#include <limits>

namespace orvik::core {

using Vec3 = std::array<double, 3>;

inline constexpr double bound_relative_margin = 1e-9;
inline constexpr double bound_absolute_margin = 1e-10;  // of the radius

// The relative margin for an ellipsoid of flattening f: +inf where no bound
// is to be trusted.
inline double geodesic_relative_margin(double f) noexcept {
    const double third_flattening = std::abs(f / (2.0 - f));
    return third_flattening <= 0.5 ? bound_relative_margin + std::pow(third_flattening, 7)
                                   : std::numeric_limits<double>::infinity();
}

// The unit surface normal at a geodetic latitude and longitude: the point at
// (lat, lon) on the unit sphere.  sincosd reduces the angles exactly in
// degrees, so no error grows with |lon|.
inline Vec3 unit_normal(double lat, double lon) noexcept {
    double sin_phi, cos_phi, sin_lambda, cos_lambda;
    GeographicLib::Math::sincosd(lat, sin_phi, cos_phi);
    GeographicLib::Math::sincosd(lon, sin_lambda, cos_lambda);
    return {cos_phi * cos_lambda, cos_phi * sin_lambda, sin_phi};
}

}  // namespace orvik::core
