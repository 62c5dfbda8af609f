// The objects the pool's threads share (a polyline's index, the ellipsoid's
// Intersect) used from several threads at once: each thread must get what
// one thread alone gets.
#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "core/geodesic.hpp"
#include "core/intersections.hpp"
#include "core/line_distance.hpp"

namespace {

using orvik::core::LineDistance;
using orvik::core::LinePoint;

const GeographicLib::Geodesic& wgs84() { return orvik::core::wgs84().solver(); }

struct Line {
    std::vector<double> lat, lon;
};

// A route of n vertices about `step` metres apart, wandering.
Line wandering(std::size_t n, double step, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> turn(0, 6);
    Line line{{30.0}, {-40.0}};
    double azi = 50;
    for (std::size_t i = 1; i < n; ++i) {
        double lat, lon;
        wgs84().Direct(line.lat.back(), line.lon.back(), azi += turn(rng), step, lat, lon, azi);
        line.lat.push_back(lat);
        line.lon.push_back(lon);
    }
    return line;
}

// Points around the line, up to `spread` metres off it.
std::vector<std::pair<double, double>> around(const Line& line, std::size_t n, double spread, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::size_t> at(0, line.lat.size() - 1);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = at(rng);
        double lat, lon;
        wgs84().Direct(line.lat[k], line.lon[k], 360 * u(rng), spread * u(rng), lat, lon);
        points.emplace_back(lat, lon);
    }
    return points;
}

TEST(LineDistance, ThreadsQueryingOneIndexGetWhatOneThreadGets) {
    const Line line = wandering(2000, 1000, 3);
    const LineDistance index(wgs84(), line.lat, line.lon);
    const auto points = around(line, 400, 50e3, 4);
    std::vector<LinePoint> alone(points.size());
    LineDistance::Scratch scratch;
    for (std::size_t i = 0; i < points.size(); ++i) alone[i] = index.nearest(points[i].first, points[i].second, scratch);
    std::vector<std::vector<LinePoint>> each(4, std::vector<LinePoint>(points.size()));
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < each.size(); ++t) {
        threads.emplace_back([&, t] {
            LineDistance::Scratch own;
            for (std::size_t i = 0; i < points.size(); ++i) each[t][i] = index.nearest(points[i].first, points[i].second, own);
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const auto& got : each) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(got[i].point.distance, alone[i].point.distance);
            EXPECT_EQ(got[i].segment, alone[i].segment);
        }
    }
}

#if ORVIK_HAVE_INTERSECT
TEST(Intersections, ThreadsSharingAnEllipsoidGetWhatOneThreadGets) {
    // Intersect counts its calls in mutable members: each call of the
    // kernel works on its own copy, so the solver's one can be shared.
    const orvik::core::Geodesic g(6378137.0, 1 / 298.257223563);
    constexpr std::size_t n = 300;
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<double> columns[6];
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < 6; ++k) columns[k].push_back(k % 3 == 0 ? 60 * u(rng) : 180 * u(rng));
    }
    orvik::core::StridedIn in[6];
    for (std::size_t k = 0; k < 6; ++k) in[k] = orvik::core::contiguous(static_cast<const double*>(columns[k].data()));
    const auto run = [&](std::vector<double>& x) {
        std::vector<double> rest(4 * n);
        orvik::core::StridedOut out[5] = {orvik::core::contiguous(x.data())};
        for (std::size_t k = 1; k < 5; ++k) out[k] = orvik::core::contiguous(rest.data() + (k - 1) * n);
        orvik::core::closest_intersections_strided(g, in, out, 0x1f, n);
    };
    std::vector<double> alone(n);
    run(alone);
    std::vector<std::vector<double>> each(4, std::vector<double>(n));
    std::vector<std::thread> threads;
    for (auto& x : each) threads.emplace_back([&run, &x] { run(x); });
    for (std::thread& thread : threads) thread.join();
    for (const auto& x : each) EXPECT_EQ(x, alone);
}
#endif

}  // namespace
