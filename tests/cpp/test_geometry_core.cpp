#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/geodesic.hpp"
#include "core/geometry.hpp"

using orvik::core::CircleMaker;
using orvik::core::CircleOutline;
using orvik::core::CircleShape;
using orvik::core::contiguous;
using orvik::core::wgs84;

namespace {

double distance(double lat1, double lon1, double lat2, double lon2) { return wgs84().inverse(lat1, lon1, lat2, lon2).s12; }

// Whether (lat, lon) lies on the geodesic from 1 to 2: the two legs add up.
double off_geodesic(double lat1, double lon1, double lat2, double lon2, double lat, double lon) {
    return distance(lat1, lon1, lat, lon) + distance(lat, lon, lat2, lon2) - distance(lat1, lon1, lat2, lon2);
}

struct Drawn {
    CircleOutline outline;
    std::vector<double> lat, lon;
};

Drawn draw(double lat, double lon, double radius, std::size_t n, bool unroll = false) {
    Drawn d{{}, std::vector<double>(orvik::core::circle_capacity(n)), std::vector<double>(orvik::core::circle_capacity(n))};
    CircleMaker maker(wgs84(), n, unroll);
    d.outline = maker.draw(lat, lon, radius, contiguous(d.lat.data()), contiguous(d.lon.data()));
    return d;
}

}  // namespace

TEST(GeometryCore, PiecesOfAnEdge) {
    using orvik::core::pieces_of_edge;
    EXPECT_EQ(pieces_of_edge(999.0, 1000.0, 100), 1);
    EXPECT_EQ(pieces_of_edge(1000.0, 1000.0, 100), 1);
    EXPECT_EQ(pieces_of_edge(1000.5, 1000.0, 100), 2);
    EXPECT_EQ(pieces_of_edge(std::numeric_limits<double>::quiet_NaN(), 1000.0, 100), 1);
    EXPECT_EQ(pieces_of_edge(1e7, 1e-300, 100), 100);  // capped, not overflowed
}

TEST(GeometryCore, FilledPointsCutTheEdgeIntoEqualPiecesOnTheGeodesic) {
    const double lat1 = 10, lon1 = 179.5, lat2 = 12, lon2 = -178;
    const auto plan = orvik::core::plan_edge(wgs84(), lat1, lon1, lat2, lon2, 50e3, 1000);
    ASSERT_EQ(plan.pieces, static_cast<std::int64_t>(std::ceil(plan.length / 50e3)));
    std::vector<double> lat(plan.pieces - 1), lon(plan.pieces - 1);
    orvik::core::fill_edge(wgs84(), lat1, lon1, plan, contiguous(lat.data()), contiguous(lon.data()));
    for (std::size_t k = 0; k < lat.size(); ++k) {
        EXPECT_LE(std::fabs(lon[k]), 180.0);
        EXPECT_NEAR(distance(lat1, lon1, lat[k], lon[k]), plan.length * double(k + 1) / double(plan.pieces), 1e-6);
        EXPECT_LT(off_geodesic(lat1, lon1, lat2, lon2, lat[k], lon[k]), 1e-6);
    }
}

TEST(GeometryCore, MeridianCrossingLiesOnTheEdge) {
    const double lat1 = -30, lon1 = 178, lat2 = -25, lon2 = 183;
    const double lat = orvik::core::meridian_crossing(wgs84(), lat1, lon1, lat2, lon2, 180);
    EXPECT_GT(lat, -30);
    EXPECT_LT(lat, -25);
    EXPECT_LT(off_geodesic(lat1, lon1, lat2, lon2, lat, 180), 1e-6);
    EXPECT_EQ(orvik::core::meridian_crossing(wgs84(), lat1, 180, lat2, lon2, 180), lat1);
}

TEST(GeometryCore, CircleVerticesLieAtTheRadiusCounterClockwise) {
    const Drawn d = draw(52.5, 13.4, 25e3, 64);
    ASSERT_EQ(d.outline.shape, CircleShape::polygon);
    ASSERT_EQ(d.outline.sizes[0], 65u);
    EXPECT_EQ(d.lat[0], d.lat[64]);
    EXPECT_EQ(d.lon[0], 13.4);  // due north first
    EXPECT_LT(d.lon[1], 13.4);  // then west
    for (std::size_t j = 0; j < 64; ++j) EXPECT_NEAR(distance(52.5, 13.4, d.lat[j], d.lon[j]), 25e3, 1e-6);
}

TEST(GeometryCore, CircleAcrossTheAntimeridian) {
    const Drawn split = draw(-10, 179.8, 100e3, 16);
    ASSERT_EQ(split.outline.shape, CircleShape::split);
    const std::size_t west = split.outline.sizes[0], east = split.outline.sizes[1];
    EXPECT_EQ(west + east, 16u + 2 + 4);  // two crossings, each in both rings, two closings
    for (std::size_t i = 0; i < west; ++i) EXPECT_LE(split.lon[i], 180.0);
    for (std::size_t i = west; i < west + east; ++i) EXPECT_GE(split.lon[i], -180.0);
    const Drawn unrolled = draw(-10, 179.8, 100e3, 16, true);
    ASSERT_EQ(unrolled.outline.shape, CircleShape::polygon);
    EXPECT_GT(*std::max_element(unrolled.lon.begin(), unrolled.lon.begin() + 17), 180.0);
}

TEST(GeometryCore, CircleAroundAPoleIsACap) {
    for (const double lat : {85.0, -85.0}) {
        const Drawn cap = draw(lat, 40, 1e6, 32);
        ASSERT_EQ(cap.outline.shape, CircleShape::cap);
        const std::size_t size = cap.outline.sizes[0];
        EXPECT_EQ(cap.lat[size - 3], std::copysign(90.0, lat));
        EXPECT_EQ(cap.lat[size - 2], std::copysign(90.0, lat));
        EXPECT_EQ(std::fabs(cap.lon[0]), 180.0);
        EXPECT_EQ(cap.lat[0], cap.lat[size - 1]);
        EXPECT_EQ(cap.lon[0], cap.lon[size - 1]);
    }
}

TEST(GeometryCore, CirclesThatCannotBeDrawn) {
    EXPECT_EQ(draw(91, 0, 10, 8).outline.shape, CircleShape::missing);
    EXPECT_EQ(draw(0, std::numeric_limits<double>::infinity(), 10, 8).outline.shape, CircleShape::missing);
    EXPECT_EQ(draw(0, 0, std::numeric_limits<double>::quiet_NaN(), 8).outline.shape, CircleShape::missing);
    EXPECT_EQ(draw(0, 0, 0, 8).outline.shape, CircleShape::empty);
    EXPECT_EQ(draw(0, 0, 15e6, 8).outline.shape, CircleShape::both_poles);
    EXPECT_EQ(draw(60, 0, 15e6, 8).outline.shape, CircleShape::cap);
}
