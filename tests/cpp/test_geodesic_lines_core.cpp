#include <gtest/gtest.h>

#include <GeographicLib/PolygonArea.hpp>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "core/geodesic_lines.hpp"

using namespace orvik::core;

namespace {

// A wavy ring of `n` vertices round (lat0, lon0), or round the pole for lat0 = 90.
void wavy_ring(std::size_t n, double lat0, double lon0, std::vector<double>& lat, std::vector<double>& lon) {
    lat.resize(n);
    lon.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        const double r = 5 * (1 + 0.2 * std::sin(37 * t));
        lat[i] = lat0 == 90 ? 90 - r : lat0 + r * std::sin(t);
        lon[i] = lat0 == 90 ? t * 180 / std::numbers::pi - 180 : lon0 + r * std::cos(t);
    }
}

StridedIn in(const std::vector<double>& values) { return contiguous(values.data()); }

}  // namespace

TEST(GeodesicLinesCore, RingInPartsIsPolygonArea) {
    for (const std::size_t n : {part_edges, part_edges + 1, 2 * part_edges + 1, 3 * part_edges - 7}) {
        for (const double lat0 : {40.0, 90.0, -10.0}) {
            std::vector<double> lat, lon;
            wavy_ring(n, lat0, 179.0, lat, lon);
            GeographicLib::PolygonArea whole(wgs84().solver());
            for (std::size_t i = 0; i < n; ++i) whole.AddPoint(lat[i], lon[i]);
            double perimeter = 0, area = 0;
            whole.Compute(false, true, perimeter, area);
            const RingMeasure m = ring_measure(wgs84(), in(lat), in(lon), n);
            EXPECT_NEAR(m.area, area, std::max(1.0, 1e-12 * std::abs(area))) << n << " " << lat0;
            EXPECT_NEAR(m.perimeter, perimeter, 1e-14 * perimeter) << n << " " << lat0;
            // Reversed, the same ring has the opposite area.
            std::vector<double> rlat(lat.rbegin(), lat.rend()), rlon(lon.rbegin(), lon.rend());
            EXPECT_NEAR(ring_measure(wgs84(), in(rlat), in(rlon), n).area, -area,
                        std::max(1.0, 1e-12 * std::abs(area)));
        }
    }
}

TEST(GeodesicLinesCore, TrackLengthInPartsAndLoneVertices) {
    std::vector<double> lat, lon;
    wavy_ring(3 * part_edges, 20.0, -60.0, lat, lon);
    const StridedIn la = in(lat), lo = in(lon);
    const double whole = polyline_length(wgs84(), la, lo, 0, lat.size() - 1);
    EXPECT_NEAR(track_length(wgs84(), la, lo, lat.size()), whole, 4 * std::abs(std::nextafter(whole, 0.0) - whole));
    EXPECT_EQ(track_length(wgs84(), la, lo, 1), 0.0);
    EXPECT_EQ(track_length(wgs84(), la, lo, 0), 0.0);
    const double nan = std::numeric_limits<double>::quiet_NaN(), beyond = 91;
    EXPECT_TRUE(std::isnan(track_length(wgs84(), contiguous(&nan), lo, 1)));
    EXPECT_TRUE(std::isnan(track_length(wgs84(), contiguous(&beyond), lo, 1)));
}

TEST(GeodesicLinesCore, LinePointsEndsAndRanges) {
    const LinePoints line(wgs84(), 10, 370, -20, -100, 9, true);
    std::vector<double> lat(9), lon(9), part_lat(4), part_lon(4);
    line.write(0, 9, contiguous(lat.data()), contiguous(lon.data()));
    EXPECT_EQ(lat[0], 10);
    EXPECT_EQ(lon[0], 10);
    EXPECT_EQ(lat[8], -20);
    EXPECT_EQ(lon[8], -100);
    line.write(3, 7, contiguous(part_lat.data()), contiguous(part_lon.data()));
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(part_lat[i], lat[3 + i]);
        EXPECT_EQ(part_lon[i], lon[3 + i]);
    }
    const LinePoints invalid(wgs84(), 91, 0, 0, 0, 3, true);
    invalid.write(0, 3, contiguous(lat.data()), contiguous(lon.data()));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(std::isnan(lat[i]) && std::isnan(lon[i]));
}
