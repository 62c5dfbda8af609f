// Constants shared by the spherical formulas and the unit conversions.
#pragma once

namespace orvik::core {

inline constexpr double EARTH_RADIUS_M = 6371008.8;       // mean Earth radius
inline constexpr double DEG_TO_RAD = 0.017453292519943295;  // pi / 180, rounded once
inline constexpr double RAD_TO_DEG = 57.29577951308232;     // 180 / pi, rounded once

}  // namespace orvik::core
