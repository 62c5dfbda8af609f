#include "core/great_circle.hpp"

#include <cmath>

#include "core/great_circle_kernel.hpp"

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

// Through the same vector kernel as every batch, so that a point's distance
// is bit-identical whether computed alone or inside any array.
double great_circle_distance(double lat1, double lon1, double lat2, double lon2,
                             double radius) noexcept {
    double out;
    great_circle_distance_n(&lat1, &lon1, &lat2, &lon2, &out, 1, radius);
    return out;
}

std::pair<double, double> great_circle_destination(double lat1, double lon1, double bearing,
                                                   double distance, double radius) noexcept {
    const double delta = distance / radius;
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

void great_circle_destination_strided(StridedIn lat1, StridedIn lon1, StridedIn bearing,
                                      StridedIn distance, StridedOut lat2, StridedOut lon2,
                                      std::size_t n, double radius) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        const auto [lat, lon] = great_circle_destination(lat1[i], lon1[i], bearing[i], distance[i], radius);
        lat2.set(i, lat);
        lon2.set(i, lon);
    }
}

}  // namespace orvik::core
