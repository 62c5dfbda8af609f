// Unit conversions.  Each conversion is exactly one division or
// multiplication by its constant: a reciprocal constant would change the last
// bit of some results.
#pragma once

#include <array>
#include <cmath>

#include "core/constants.hpp"

namespace orvik::core::units {

inline constexpr double FOOT_M = 0.3048;             // metres per international foot
inline constexpr double STATUTE_MILE_KM = 1.609344;  // kilometres per statute mile
inline constexpr double NAUTICAL_MILE_KM = 1.852;    // kilometres per nautical mile
inline constexpr double KILO = 1000.0;
inline constexpr double MINUTES = 60.0;  // minutes per degree, seconds per minute
inline constexpr double SECONDS = 3600.0;

inline double km_to_mi(double x) noexcept { return x / STATUTE_MILE_KM; }
inline double mi_to_km(double x) noexcept { return x * STATUTE_MILE_KM; }
inline double km_to_nm(double x) noexcept { return x / NAUTICAL_MILE_KM; }
inline double nm_to_km(double x) noexcept { return x * NAUTICAL_MILE_KM; }
inline double m_to_ft(double x) noexcept { return x / FOOT_M; }
inline double ft_to_m(double x) noexcept { return x * FOOT_M; }
inline double m_to_km(double x) noexcept { return x / KILO; }
inline double km_to_m(double x) noexcept { return x * KILO; }
inline double deg_to_rad(double x) noexcept { return x * DEG_TO_RAD; }
inline double rad_to_deg(double x) noexcept { return x * RAD_TO_DEG; }

// The parts are added with their own signs, without normalisation.
inline double dms_to_deg(double degrees, double arcminutes, double arcseconds) noexcept {
    const double q1 = arcminutes / MINUTES;
    const double q2 = arcseconds / SECONDS;
    const double s = degrees + q1;
    return s + q2;
}

// (whole degrees truncated towards zero, minutes, seconds): the sign is
// carried by the first item alone; seconds are neither rounded nor carried.
inline std::array<double, 3> deg_to_dms(double dd) noexcept {
    const double whole = std::trunc(dd);
    const double t = std::fabs(dd - whole) * MINUTES;
    const double minutes = std::trunc(t);
    const double seconds = (t - minutes) * MINUTES;
    return {whole, minutes, seconds};
}

}  // namespace orvik::core::units
