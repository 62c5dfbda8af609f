#include "core/great_circle.hpp"

#include "core/great_circle_kernel.hpp"

namespace orvik::core {

// Both through the same vector kernels as every batch, so that a point's
// result is bit-identical whether computed alone or inside any array.
double great_circle_distance(double lat1, double lon1, double lat2, double lon2,
                             double radius) noexcept {
    double out;
    great_circle_distance_n(&lat1, &lon1, &lat2, &lon2, &out, 1, radius);
    return out;
}

std::pair<double, double> great_circle_destination(double lat1, double lon1, double bearing,
                                                   double distance, double radius) noexcept {
    double lat2, lon2;
    great_circle_destination_n(&lat1, &lon1, &bearing, &distance, &lat2, &lon2, 1, radius);
    return {lat2, lon2};
}

}  // namespace orvik::core
