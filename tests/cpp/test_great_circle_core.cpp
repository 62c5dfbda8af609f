#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/great_circle.hpp"

using orvik::core::great_circle_destination;
using orvik::core::great_circle_distance;

TEST(GreatCircleCore, PoleBoundDestinationIsNeverNaN) {
    // Rounding can push the arcsine argument past 1 for an exact pole hit.
    const double quarter = 10007557.221017962;
    for (int i = -89; i <= 89; ++i) {
        const double lat = i;
        const double to_pole = quarter * (90.0 - lat) / 90.0;
        const auto [lat2, lon2] = great_circle_destination(lat, 0.0, 0.0, to_pole);
        EXPECT_FALSE(std::isnan(lat2)) << lat;
        EXPECT_FALSE(std::isnan(lon2)) << lat;
        // asin is ill-conditioned next to 1: about 1e-6 degrees of rounding.
        EXPECT_NEAR(lat2, 90.0, 1e-5) << lat;
    }
}

TEST(GreatCircleCore, NaNStaysNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(great_circle_distance(nan, 0, 0, 0)));
    const auto [lat2, lon2] = great_circle_destination(0, 0, nan, 1000);
    EXPECT_TRUE(std::isnan(lat2));
    EXPECT_TRUE(std::isnan(lon2));
}
