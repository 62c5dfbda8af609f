#include <gtest/gtest.h>

#include <GeographicLib/PolygonArea.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "core/geodesic.hpp"
#include "core/ring_area.hpp"

using orvik::core::RingArea;
using orvik::core::wgs84;

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool same(double a, double b) { return same_bits(a, b) || (std::isnan(a) && std::isnan(b)); }

// RingArea and PolygonArea over the same vertices agree bit for bit, and
// so does RingArea's area alone.
void expect_as_polygon_area(const std::vector<double>& lat, const std::vector<double>& lon) {
    GeographicLib::PolygonArea reference(wgs84().solver());
    RingArea ours(wgs84().solver()), area_alone(wgs84().solver(), /*perimeter=*/false);
    for (std::size_t i = 0; i < lat.size(); ++i) {
        reference.AddPoint(lat[i], lon[i]);
        ours.add(lat[i], lon[i]);
        area_alone.add(lat[i], lon[i]);
    }
    double p_ref = 0, a_ref = 0, p = 0, a = 0, p_alone = 0, a_alone = 0;
    reference.Compute(false, true, p_ref, a_ref);
    ours.compute(p, a);
    area_alone.compute(p_alone, a_alone);
    EXPECT_TRUE(same(a, a_ref)) << a << " vs " << a_ref;
    EXPECT_TRUE(same(p, p_ref)) << p << " vs " << p_ref;
    EXPECT_TRUE(same(a_alone, a_ref)) << a_alone << " vs " << a_ref;
    EXPECT_TRUE(std::isnan(p_alone));
}

}  // namespace

TEST(RingArea, MatchesPolygonAreaBitForBitOnRandomRings) {
    std::mt19937_64 rng(19);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int ring = 0; ring < 400; ++ring) {
        // Small and large rings, windings both ways, across the
        // antimeridian and around the poles, with longitudes beyond +-180.
        const auto n = static_cast<std::size_t>(3 + ring % 17);
        const double lat0 = -85 + 170 * unit(rng), lon0 = -540 + 1080 * unit(rng);
        const double radius = ring % 3 == 0 ? 40 * unit(rng) : 0.5 * unit(rng);
        const double turn = ring % 2 == 0 ? 1 : -1;
        std::vector<double> lat(n), lon(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double angle = turn * 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
            lat[i] = std::clamp(lat0 + radius * std::sin(angle), -90.0, 90.0);
            lon[i] = lon0 + radius * std::cos(angle) * 2;
        }
        expect_as_polygon_area(lat, lon);
    }
}

TEST(RingArea, MatchesPolygonAreaOnBoundaryLongitudes) {
    // Exactly +-180, +-0, 360 and beyond, poles, repeated and NaN vertices.
    const std::vector<std::vector<std::pair<double, double>>> rings = {
        {{0, 180}, {10, -180}, {10, 170}, {0, 170}},
        {{0, -180}, {10, 180}, {10, -170}, {0, -170}},
        {{0, 0.0}, {10, -0.0}, {10, 10}, {0, 10}},
        {{0, -0.0}, {-10, 0.0}, {-10, -10}, {0, -10}},
        {{0, 360}, {10, 360}, {10, 370}, {0, 370}},
        {{80, -180}, {80, -60}, {80, 60}},
        {{-80, 180}, {-80, 60}, {-80, -60}},
        {{90, 0}, {0, 0}, {0, 90}},
        {{1, 2}, {1, 2}, {3, 4}, {1, 2}},
        {{0, 179.5}, {1, -179.5}, {2, 179.5}, {1, -179.5 - 360}},
        {{0, 0}, {not_a_number, 1}, {1, 1}},
        {{0, 0}, {91, 1}, {1, 1}},
    };
    for (const auto& ring : rings) {
        std::vector<double> lat, lon;
        for (const auto& [y, x] : ring) {
            lat.push_back(y);
            lon.push_back(x);
        }
        expect_as_polygon_area(lat, lon);
    }
    expect_as_polygon_area({5}, {5});
    expect_as_polygon_area({}, {});
}

TEST(RingArea, OneVertexThatIsNoPointMeasuresNaN) {
    // Where PolygonArea gives 0: no edge is computed to give NaN.
    for (const auto& [lat, lon] : {std::pair{not_a_number, 0.0}, std::pair{91.0, 0.0}, std::pair{0.0, HUGE_VAL}}) {
        RingArea ring(wgs84().solver());
        ring.add(lat, lon);
        double perimeter = 0, area = 0;
        ring.compute(perimeter, area);
        EXPECT_TRUE(std::isnan(area) && std::isnan(perimeter)) << lat << ", " << lon;
    }
}

TEST(RingArea, TransitAgreesWithTheLongitudesItCrosses) {
    EXPECT_EQ(RingArea::transit(-1, 1), 1);
    EXPECT_EQ(RingArea::transit(1, -1), -1);
    EXPECT_EQ(RingArea::transit(179, -179), 0);
    EXPECT_EQ(RingArea::transit(-0.0, 1), 0);  // +-0 counts as positive
    EXPECT_EQ(RingArea::transit(-1, 0.0), 1);
}
