#include <gtest/gtest.h>

#include <cstring>

#include "core/geodesic.hpp"

using orvik::core::GeodesicResult;
using orvik::core::wgs84;

namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Fields that an operation does not compute are +0.0, not just zero.
void expect_positive_zero(double v, const char* field) {
    EXPECT_TRUE(same_bits(v, 0.0)) << field << " = " << v;
}

}  // namespace

TEST(GeodesicCore, OneProcessWideSolver) { EXPECT_EQ(&wgs84(), &wgs84()); }

TEST(GeodesicCore, PlainInverseLeavesTheFullOutputsZero) {
    const GeodesicResult plain = wgs84().inverse(10, 20, -30, 140);
    const GeodesicResult full = wgs84().inverse_full(10, 20, -30, 140);
    expect_positive_zero(plain.m12, "m12");
    expect_positive_zero(plain.M12, "M12");
    expect_positive_zero(plain.M21, "M21");
    expect_positive_zero(plain.S12, "S12");
    EXPECT_NE(full.m12, 0.0);
    EXPECT_NE(full.M12, 0.0);
    EXPECT_NE(full.M21, 0.0);
    EXPECT_NE(full.S12, 0.0);
    EXPECT_EQ(plain.s12, full.s12);
    EXPECT_EQ(plain.a12, full.a12);
    EXPECT_EQ(plain.azi1, full.azi1);
    EXPECT_EQ(plain.azi2, full.azi2);
}

TEST(GeodesicCore, DirectReportsNoArcLength) {
    // Python sees a12 only; the other fields are fixed zeros as well.
    const GeodesicResult r = wgs84().direct(10, 20, 30, 1e6);
    expect_positive_zero(r.a12, "a12");
    expect_positive_zero(r.m12, "m12");
    expect_positive_zero(r.M12, "M12");
    expect_positive_zero(r.M21, "M21");
    expect_positive_zero(r.S12, "S12");
}
