#include "core/great_circle.hpp"

#include <cmath>

namespace orvik::core {
namespace {

// Rounding can carry an arcsine argument just past +-1 for points exactly at
// a pole or antipode; clamping keeps NaN as NaN (comparisons with NaN fail)
// and leaves every in-range value untouched.
inline double clamp_unit(double x) noexcept {
    if (x > 1.0) return 1.0;
    if (x < -1.0) return -1.0;
    return x;
}

}  // namespace

double great_circle_distance(double lat1, double lon1, double lat2, double lon2) noexcept {
    const double dlon = (lon2 - lon1) * DEG_TO_RAD;
    const double phi1 = lat1 * DEG_TO_RAD;
    const double phi2 = lat2 * DEG_TO_RAD;
    const double dphi = phi2 - phi1;
    const double s = std::sin(dphi * 0.5);
    const double a = s * s;
    const double q = std::cos(phi1) * std::cos(phi2);
    const double t = std::sin(dlon * 0.5);
    const double b = q * (t * t);
    const double h = a + b;
    const double c = std::asin(std::sqrt(h > 1.0 ? 1.0 : h));
    return (c + c) * EARTH_RADIUS_M;
}

std::pair<double, double> great_circle_destination(double lat1, double lon1, double bearing,
                                                   double distance) noexcept {
    const double delta = distance / EARTH_RADIUS_M;
    const double phi1 = lat1 * DEG_TO_RAD;
    const double lambda1 = lon1 * DEG_TO_RAD;
    const double theta = bearing * DEG_TO_RAD;
    const double sin_phi1 = std::sin(phi1), cos_phi1 = std::cos(phi1);
    const double sin_delta = std::sin(delta), cos_delta = std::cos(delta);
    const double sin_theta = std::sin(theta), cos_theta = std::cos(theta);
    const double x = sin_phi1 * cos_delta + cos_theta * (cos_phi1 * sin_delta);
    const double phi2 = std::asin(clamp_unit(x));
    const double y = cos_phi1 * (sin_theta * sin_delta);
    const double z = cos_delta - sin_phi1 * std::sin(phi2);
    const double lambda2 = lambda1 + std::atan2(y, z);
    return {phi2 * RAD_TO_DEG, lambda2 * RAD_TO_DEG};
}

}  // namespace orvik::core
