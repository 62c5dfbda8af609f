// Distance and destination on a sphere, by default of radius EARTH_RADIUS_M.
// Angles in degrees, distances in metres; nothing is normalised or validated.
#pragma once

#include <utility>

#include "core/constants.hpp"

namespace orvik::core {

double great_circle_distance(double lat1, double lon1, double lat2, double lon2,
                             double radius = EARTH_RADIUS_M) noexcept;

std::pair<double, double> great_circle_destination(double lat1, double lon1, double bearing,
                                                   double distance,
                                                   double radius = EARTH_RADIUS_M) noexcept;

}  // namespace orvik::core
