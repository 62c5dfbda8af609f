// Distance and destination on a sphere, by default of radius EARTH_RADIUS_M.
// Angles in degrees, distances in metres; nothing is normalised or validated.
#pragma once

#include <cstddef>
#include <utility>

#include "core/constants.hpp"
#include "core/strided.hpp"

namespace orvik::core {

double great_circle_distance(double lat1, double lon1, double lat2, double lon2,
                             double radius = EARTH_RADIUS_M) noexcept;

std::pair<double, double> great_circle_destination(double lat1, double lon1, double bearing,
                                                   double distance,
                                                   double radius = EARTH_RADIUS_M) noexcept;

// For i in [0, n): the destination from (lat1[i], lon1[i]) along
// bearing[i] after distance[i], bit for bit what the one-point call gives.
void great_circle_destination_strided(StridedIn lat1, StridedIn lon1, StridedIn bearing,
                                      StridedIn distance, StridedOut lat2, StridedOut lon2,
                                      std::size_t n, double radius = EARTH_RADIUS_M) noexcept;

}  // namespace orvik::core
