// The point index against brute force: every distance to every reference
// point with the library's scalar functions, then a stable sort.  Results
// must match bit for bit in distances and exactly in indices.
#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "core/geodesic.hpp"
#include "core/great_circle.hpp"
#include "core/kd_tree.hpp"
#include "core/point_index.hpp"
#include "core/work_runner.hpp"

namespace {

using orvik::core::DistanceMethod;
using orvik::core::Neighbor;
using orvik::core::PointIndex;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan_v = std::numeric_limits<double>::quiet_NaN();

bool same_bits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

struct Points {
    std::vector<double> lat, lon;
    void add(double la, double lo) {
        lat.push_back(la);
        lon.push_back(lo);
    }
};

double random_lat(std::mt19937_64& rng) {
    return std::asin(std::uniform_real_distribution<double>(-1, 1)(rng)) * 57.29577951308232;
}
double random_lon(std::mt19937_64& rng) {
    return std::uniform_real_distribution<double>(-180, 180)(rng);
}

// Reference sets that stress the bound and the ties.
Points reference_set(const std::string& kind) {
    std::mt19937_64 rng(std::hash<std::string>{}(kind));
    std::uniform_real_distribution<double> u(-1, 1);
    Points p;
    if (kind == "uniform") {
        for (int i = 0; i < 400; ++i) p.add(random_lat(rng), random_lon(rng));
    } else if (kind == "special") {
        // Poles under many longitudes, both sides of the antimeridian, exact
        // duplicates, and points just north and south of each other on the
        // equator, where the geodesic bound is tightest.
        for (double lo : {-180.0, -90.0, 0.0, 37.5, 180.0}) {
            p.add(90, lo);
            p.add(-90, lo);
            p.add(0, lo);
            p.add(45, lo);
        }
        for (int i = 0; i < 60; ++i) {
            p.add(1e-4 * u(rng), 179.9999 + 2e-4 * u(rng));
            p.add(89.9999 + 1e-4 * u(rng), random_lon(rng));
            p.add(1e-3 * u(rng), 10.0);
            p.add(1e-3 * u(rng), 10.0 + 1e-9 * u(rng));
        }
        const std::size_t m = p.lat.size();
        for (std::size_t i = 0; i < m; i += 3) p.add(p.lat[i], p.lon[i]);  // duplicates
    } else if (kind == "wide longitudes") {
        for (int i = 0; i < 150; ++i) {
            const double lo = random_lon(rng);
            p.add(random_lat(rng), i % 3 == 0 ? lo : i % 3 == 1 ? lo + 720 : lo + 3.6e7);
        }
        // A cluster metres apart, for a query whose longitude is 40 + 360 *
        // 2^32: the haversine rounds the difference to 2.4e-4 degrees.
        for (int i = 0; i < 60; ++i) p.add(10 + 1e-3 * u(rng), 40 + 1e-3 * u(rng));
    } else if (kind == "one") {
        p.add(12.5, -170);
    }
    return p;
}

// Query points: random ones, the reference points themselves and their
// antipodes, poles and the antimeridian.
Points query_set(const Points& ref) {
    std::mt19937_64 rng(7);
    Points q;
    for (int i = 0; i < 40; ++i) q.add(random_lat(rng), random_lon(rng));
    for (std::size_t i = 0; i < ref.lat.size(); i += 5) {
        q.add(ref.lat[i], ref.lon[i]);
        q.add(-ref.lat[i], ref.lon[i] + 180);
    }
    for (double lo : {-180.0, 180.0, 0.0}) {
        q.add(90, lo);
        q.add(-90, lo);
        q.add(0, lo);
        q.add(1e-4, lo + 1e-9);
    }
    q.add(10, 1e8);
    q.add(10, 40 + 360 * 4294967296.0);
    return q;
}

struct Ellipsoid {
    const char* name;
    double a, f;
};

// Every reference point within r, stably sorted by distance (or by index).
std::vector<Neighbor> brute_force(const Points& ref, const GeographicLib::Geodesic& solver,
                                  DistanceMethod m, double lat, double lon, double r = inf,
                                  bool by_index = false) {
    std::vector<Neighbor> all;
    for (std::size_t i = 0; i < ref.lat.size(); ++i) {
        double d, azi1, azi2;
        if (m == DistanceMethod::great_circle) {
            d = orvik::core::great_circle_distance(lat, lon, ref.lat[i], ref.lon[i]);
        } else {
            solver.Inverse(lat, lon, ref.lat[i], ref.lon[i], d, azi1, azi2);
        }
        if (d <= r) all.push_back({d, static_cast<std::int64_t>(i)});
    }
    if (!by_index) {
        std::stable_sort(all.begin(), all.end(), [](const Neighbor& x, const Neighbor& y) {
            return x.distance < y.distance;
        });
    }
    return all;
}

// got[j] for j < want.size(), and (inf, -1) after that up to `slots`.
void expect_rows(const std::vector<Neighbor>& want, const Neighbor* got, std::size_t slots,
                 const std::string& where) {
    for (std::size_t j = 0; j < slots; ++j) {
        const Neighbor w = j < want.size() ? want[j] : Neighbor{inf, -1};
        ASSERT_TRUE(same_bits(w.distance, got[j].distance) && w.index == got[j].index)
            << where << " slot " << j << ": want " << w.index << " at " << w.distance << ", got "
            << got[j].index << " at " << got[j].distance;
    }
}

using Case = std::tuple<const char*, Ellipsoid, DistanceMethod>;

class AgainstBruteForce : public ::testing::TestWithParam<Case> {};

TEST_P(AgainstBruteForce, NearestAndWithinRadius) {
    const auto& [kind, ellipsoid, method] = GetParam();
    const Points ref = reference_set(kind), queries = query_set(ref);
    const PointIndex index(ref.lat, ref.lon, ellipsoid.a, ellipsoid.f);
    const GeographicLib::Geodesic solver(ellipsoid.a, ellipsoid.f);
    const std::size_t n = ref.lat.size();
    PointIndex::Scratch scratch;
    std::vector<double> d(n + 3);
    std::vector<std::int64_t> idx(n + 3);
    std::vector<Neighbor> got(n + 3);
    for (std::size_t qi = 0; qi < queries.lat.size(); ++qi) {
        const double lat = queries.lat[qi], lon = queries.lon[qi];
        const std::vector<Neighbor> all = brute_force(ref, solver, method, lat, lon);
        const std::string where = "query " + std::to_string(lat) + ", " + std::to_string(lon);
        // A limit exactly at a neighbour's distance keeps it.
        std::vector<double> limits = {inf, 0.0};
        if (n > 2) limits.push_back(all[2].distance);
        for (const double limit : limits) {
            const auto want = brute_force(ref, solver, method, lat, lon, limit);
            for (const std::size_t k : {std::size_t{1}, std::size_t{3}, n + 3}) {
                index.query(lat, lon, k, method, limit, d.data(), idx.data(), scratch);
                for (std::size_t j = 0; j < k; ++j) got[j] = {d[j], idx[j]};
                expect_rows(want, got.data(), k, where + " k " + std::to_string(k));
            }
            for (const bool sort : {true, false}) {
                std::vector<Neighbor> hits(1, Neighbor{-1.0, -7});  // appended to
                const std::size_t count =
                    index.query_radius(lat, lon, limit, method, sort, hits, scratch);
                const auto in_order = brute_force(ref, solver, method, lat, lon, limit, !sort);
                ASSERT_EQ(count, in_order.size()) << where;
                ASSERT_EQ(hits.size(), count + 1);
                expect_rows(in_order, &hits[1], count, where + " radius");
            }
        }
    }
}

const Ellipsoid wgs84{"WGS84", orvik::core::WGS84_A, orvik::core::WGS84_F};
const Ellipsoid grs80{"GRS80", 6378137.0, 1 / 298.257222101};
const Ellipsoid sphere{"sphere", 6371008.8, 0.0};
// Far from the Earth's shape, where GeographicLib's series are least exact.
const Ellipsoid flat{"flat", 1000.0, 0.3};
const Ellipsoid prolate{"prolate", 6378137.0, -0.5};

std::string case_name(const ::testing::TestParamInfo<Case>& param_info) {
    const auto& [kind, ellipsoid, method] = param_info.param;
    std::string name = std::string(kind) + "_" + ellipsoid.name +
                       (method == DistanceMethod::geodesic ? "_geodesic" : "_great_circle");
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Sets, AgainstBruteForce,
    ::testing::Values(Case{"uniform", wgs84, DistanceMethod::geodesic},
                      Case{"uniform", wgs84, DistanceMethod::great_circle},
                      Case{"special", wgs84, DistanceMethod::geodesic},
                      Case{"special", wgs84, DistanceMethod::great_circle},
                      Case{"wide longitudes", wgs84, DistanceMethod::geodesic},
                      Case{"wide longitudes", wgs84, DistanceMethod::great_circle},
                      Case{"one", wgs84, DistanceMethod::geodesic},
                      Case{"none", wgs84, DistanceMethod::great_circle},
                      Case{"special", grs80, DistanceMethod::geodesic},
                      Case{"special", sphere, DistanceMethod::geodesic},
                      Case{"special", flat, DistanceMethod::geodesic},
                      Case{"uniform", prolate, DistanceMethod::geodesic}),
    case_name);

// On a very flat ellipsoid (f = 0.5) GeographicLib's series fall short:
// this 9.3 km line along a meridian across the equator comes out 6e-6 of its
// length shorter than the chord bound allows.  A rival one part in a million
// farther to the east has the smaller chord; the true nearest must still win.
TEST(PointIndex, VeryFlatEllipsoidKeepsTheNearestBehindASmallerChord) {
    const double a = 6378137.0, f = 0.5, lat = 0.16849882764412477, lon = 115.64167617378436;
    const GeographicLib::Geodesic solver(a, f);
    Points ref;
    ref.add(-0.16670386114225472, lon);
    double s, rival_lat, rival_lon, azi2;
    solver.Inverse(lat, lon, ref.lat[0], ref.lon[0], s);
    solver.Direct(lat, lon, 90.0, s * (1 + 1e-6), rival_lat, rival_lon, azi2);
    ref.add(rival_lat, rival_lon);
    const PointIndex index(ref.lat, ref.lon, a, f);
    PointIndex::Scratch scratch;
    Neighbor got;
    index.query(lat, lon, 1, DistanceMethod::geodesic, inf, &got.distance, &got.index, scratch);
    const auto want = brute_force(ref, solver, DistanceMethod::geodesic, lat, lon);
    ASSERT_EQ(want[0].index, 0);
    expect_rows(want, &got, 1, "nearest");
}

TEST(PointIndex, InvalidQueriesGiveEmptyRows) {
    const Points ref = reference_set("uniform");
    const PointIndex index(ref.lat, ref.lon);
    PointIndex::Scratch scratch;
    double d[2];
    std::int64_t idx[2];
    std::vector<Neighbor> hits;
    const double cases[][3] = {{nan_v, 0, inf}, {0, nan_v, inf}, {90.5, 0, inf}, {-91, 0, inf},
                               {0, inf, inf},   {0, 0, nan_v},   {0, 0, -1.0}};
    for (const auto& c : cases) {
        for (const auto m : {DistanceMethod::geodesic, DistanceMethod::great_circle}) {
            index.query(c[0], c[1], 2, m, c[2], d, idx, scratch);
            EXPECT_TRUE(d[0] == inf && d[1] == inf && idx[0] == -1 && idx[1] == -1)
                << c[0] << " " << c[1] << " " << c[2];
            EXPECT_EQ(index.query_radius(c[0], c[1], c[2], m, true, hits, scratch), 0u);
        }
    }
}

TEST(PointIndex, ConcurrentQueriesAgreeWithOneThread) {
    const Points ref = reference_set("uniform");
    const PointIndex index(ref.lat, ref.lon);
    constexpr std::size_t k = 4;
    std::mt19937_64 rng(3);
    Points q;
    for (int i = 0; i < 300; ++i) q.add(random_lat(rng), random_lon(rng));
    // Every query by both methods, each thread with its own scratch.
    const auto run = [&] {
        PointIndex::Scratch scratch;
        std::vector<double> d(2 * k * q.lat.size());
        std::vector<std::int64_t> idx(d.size());
        for (std::size_t at = 0; at < d.size(); at += k) {
            const std::size_t i = at / (2 * k);
            const auto m = static_cast<DistanceMethod>(at / k % 2);
            index.query(q.lat[i], q.lon[i], k, m, inf, &d[at], &idx[at], scratch);
        }
        return std::make_pair(d, idx);
    };
    const auto alone = run();
    std::vector<std::pair<std::vector<double>, std::vector<std::int64_t>>> together(4);
    std::vector<std::thread> threads;
    for (auto& result : together) threads.emplace_back([&] { result = run(); });
    for (auto& t : threads) t.join();
    for (const auto& [d, idx] : together) {
        EXPECT_EQ(std::memcmp(d.data(), alone.first.data(), d.size() * sizeof(double)), 0);
        EXPECT_EQ(idx, alone.second);
    }
}

TEST(PointIndex, CopiesPointsAndCountsMemory) {
    std::mt19937_64 rng(5);
    Points p;
    for (int i = 0; i < 100000; ++i) p.add(random_lat(rng), random_lon(rng));
    const PointIndex index(p.lat, p.lon);
    p.lat[0] = 0;  // the index keeps its own copy
    Points back;
    back.lat.resize(100000);
    back.lon.resize(100000);
    index.copy_points(back.lat.data(), back.lon.data());
    p.lat[0] = back.lat[0];
    EXPECT_EQ(back.lat, p.lat);
    EXPECT_EQ(back.lon, p.lon);
    EXPECT_LE(index.memory_bytes(), 96u * 100000u);
    EXPECT_GE(index.memory_bytes(), 40u * 100000u);
}

TEST(PointIndex, RejectsBadInput) {
    const std::vector<double> lat = {0, 10, 91}, lon = {0, 0, 0};
    try {
        PointIndex index(lat, lon);
        FAIL() << "built from a latitude of 91";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("point 2"), std::string::npos) << e.what();
    }
    const std::vector<double> two = {0, 0};
    EXPECT_THROW(PointIndex(two, lon), std::invalid_argument);
    EXPECT_THROW(PointIndex(two, two, -1.0, 0.0), std::invalid_argument);
    EXPECT_THROW(PointIndex(two, two, 1.0, 1.0), std::invalid_argument);
    EXPECT_THROW(PointIndex(two, two, 1.0, nan_v), std::invalid_argument);
}

// The index computes geodesic distances with the distance-only overload of
// Inverse; brute force uses the one that also returns azimuths.  They must
// agree to the bit.
TEST(PointIndex, DistanceOnlyInverseHasTheSameBits) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(-1, 1), t(0, 1);
    for (const Ellipsoid& e : {wgs84, grs80, sphere}) {
        const GeographicLib::Geodesic g(e.a, e.f);
        long differing = 0;
        const long pairs = e.f == wgs84.f ? 1000000 : 100000;
        for (long i = 0; i < pairs; ++i) {
            double lat1 = random_lat(rng), lon1 = random_lon(rng), lat2, lon2;
            const double tiny = std::pow(10.0, -9 * t(rng));
            switch (i % 4) {
                case 0:  // anywhere
                    lat2 = random_lat(rng), lon2 = random_lon(rng);
                    break;
                case 1:  // near-antipodal
                    lat2 = -lat1 + tiny * u(rng), lon2 = lon1 + 180 + tiny * u(rng);
                    break;
                case 2:  // from at or next to a pole
                    lat1 = std::copysign(i % 8 == 2 ? 90.0 : 90.0 - tiny, u(rng));
                    lat2 = random_lat(rng), lon2 = random_lon(rng);
                    break;
                default:  // short
                    lat2 = lat1 + tiny * u(rng), lon2 = lon1 + tiny * u(rng);
            }
            double s_full, azi1, azi2, s_only;
            g.Inverse(lat1, lon1, lat2, lon2, s_full, azi1, azi2);
            g.Inverse(lat1, lon1, lat2, lon2, s_only);
            differing += !same_bits(s_full, s_only);
        }
        EXPECT_EQ(differing, 0) << e.name;
    }
}

// --- large indexes, parallel builds and stopping -----------------------------

struct Stop {};

// Asks to stop (throws Stop) from its `after`-th check on; counts the checks.
class CountingStop : public orvik::core::StopCheck {
public:
    explicit CountingStop(long after = -1) : after_(after) {}
    void check() override {
        if (checks_.fetch_add(1) + 1 >= after_ && after_ >= 0) throw Stop{};
    }
    long checks() const { return checks_.load(); }

private:
    long after_;
    std::atomic<long> checks_{0};
};

// Splits each range into small pieces and runs them on three threads, in a
// shuffled order: whatever the split and the order, the index must be the
// same as one built in a single piece.
class ShuffledRunner final : public orvik::core::WorkRunner {
public:
    explicit ShuffledRunner(long stop_after = -1) : stop_(stop_after) {}
    void check() override { stop_.check(); }
    long checks() const { return stop_.checks(); }

    void for_each(std::size_t n, double, const orvik::core::RangeWork& work) override {
        std::vector<std::pair<std::size_t, std::size_t>> pieces;
        const std::size_t piece = std::max<std::size_t>(1, n / 29);
        for (std::size_t b = 0; b < n; b += piece) pieces.emplace_back(b, std::min(n, b + piece));
        std::shuffle(pieces.begin(), pieces.end(), rng_);
        std::atomic<std::size_t> next{0};
        std::exception_ptr error;
        std::mutex error_mutex;
        const auto worker = [&] {
            for (std::size_t j; (j = next.fetch_add(1)) < pieces.size();) {
                try {
                    work.run(pieces[j].first, pieces[j].second);
                } catch (...) {
                    const std::lock_guard lock(error_mutex);
                    if (!error) error = std::current_exception();
                }
            }
        };
        std::vector<std::thread> threads;
        for (int t = 0; t < 3; ++t) threads.emplace_back(worker);
        for (auto& t : threads) t.join();
        if (error) std::rethrow_exception(error);
    }

private:
    CountingStop stop_;
    std::mt19937_64 rng_{17};
};

Points uniform_points(std::size_t n, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    Points p;
    for (std::size_t i = 0; i < n; ++i) p.add(random_lat(rng), random_lon(rng));
    return p;
}

// Large enough that the top of the tree is split node by node, with
// partition passes (half of it too).
constexpr std::size_t large = 300000;

// The tree's order of points, for sets that stress the median selection:
// random, every point the same, a few distinct values, sorted.
TEST(KdTree, OrderDoesNotDependOnHowTheBuildIsSplit) {
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> u(-1, 1);
    for (const int kind : {0, 1, 2, 3}) {
        std::vector<orvik::core::Vec3> positions(large);
        for (std::size_t i = 0; i < large; ++i) {
            const double x = kind == 0 ? u(rng) : kind == 1 ? 0.5 : kind == 2 ? double(i % 3) : double(i);
            positions[i] = {x, kind == 0 ? u(rng) : x / 2, kind == 0 ? u(rng) : 0.25};
        }
        std::vector<std::uint32_t> ids(large);
        for (std::size_t i = 0; i < large; ++i) ids[i] = static_cast<std::uint32_t>(i);
        auto positions2 = positions;
        auto ids2 = ids;
        orvik::core::KdTree3 alone, shuffled;
        alone.build(positions, ids);
        ShuffledRunner runner;
        shuffled.build(positions2, ids2, runner);
        EXPECT_EQ(ids, ids2) << kind;
        EXPECT_TRUE(positions == positions2) << kind;
        EXPECT_GT(runner.checks(), 0) << kind;
    }
}

// A large index built in shuffled pieces against brute force, with radius
// queries of ~1e5 hits (sorted in runs, grown in steps) and k = n.
TEST(PointIndex, LargeIndexMatchesBruteForce) {
    constexpr std::size_t n = large / 2;
    const Points ref = uniform_points(n, 21);
    ShuffledRunner runner;
    const PointIndex index(ref.lat, ref.lon, orvik::core::WGS84_A, orvik::core::WGS84_F, runner);
    const GeographicLib::Geodesic solver(orvik::core::WGS84_A, orvik::core::WGS84_F);
    PointIndex::Scratch scratch;
    const double queries[][2] = {{10, 20}, {-89.9, 179.99}, {0, -180}};
    for (const auto& q : queries) {
        for (const auto m : {DistanceMethod::great_circle, DistanceMethod::geodesic}) {
            // Brute-force geodesics are slow: one query point is enough.
            if (m == DistanceMethod::geodesic && &q != &queries[0]) continue;
            const std::string where = std::to_string(q[0]) + ", " + std::to_string(q[1]);
            const double r = m == DistanceMethod::geodesic ? 6e6 : 1.5e7;
            const auto by_distance = brute_force(ref, solver, m, q[0], q[1], r);
            ASSERT_GT(by_distance.size(), 16384u);  // more than one sorted run
            auto by_index = by_distance;
            std::sort(by_index.begin(), by_index.end(),
                      [](const Neighbor& x, const Neighbor& y) { return x.index < y.index; });
            for (const bool sort : {true, false}) {
                std::vector<Neighbor> hits;
                index.query_radius(q[0], q[1], r, m, sort, hits, scratch);
                const auto& want = sort ? by_distance : by_index;
                ASSERT_EQ(hits.size(), want.size()) << where;
                expect_rows(want, hits.data(), hits.size(), where + " radius");
            }
            if (m == DistanceMethod::great_circle) {
                std::vector<double> d(n);
                std::vector<std::int64_t> idx(n);
                index.query(q[0], q[1], n, m, inf, d.data(), idx.data(), scratch);
                const auto want = brute_force(ref, solver, m, q[0], q[1]);
                for (std::size_t j = 0; j < n; j += 997) {
                    ASSERT_TRUE(same_bits(d[j], want[j].distance) && idx[j] == want[j].index) << where << j;
                }
            }
        }
    }
}

// A stopped build throws what the check threw; the next one is whole.
TEST(PointIndex, BuildStopsWhenItsCheckThrows) {
    const Points ref = uniform_points(large, 22);
    CountingStop count;
    {
        // The whole build, for the number of checks it makes: at least one
        // per 64K points, so that it stops soon whatever n is.
        class Counted final : public orvik::core::WorkRunner {
        public:
            explicit Counted(CountingStop& c) : c_(c) {}
            void check() override { c_.check(); }
            void for_each(std::size_t n, double, const orvik::core::RangeWork& work) override {
                if (n > 0) work.run(0, n);
            }

        private:
            CountingStop& c_;
        } runner(count);
        const PointIndex index(ref.lat, ref.lon, orvik::core::WGS84_A, orvik::core::WGS84_F, runner);
    }
    EXPECT_GE(count.checks(), long(large / 65536));
    for (const long after : {1L, count.checks() / 2, count.checks()}) {
        ShuffledRunner runner(after);
        EXPECT_THROW(PointIndex(ref.lat, ref.lon, orvik::core::WGS84_A, orvik::core::WGS84_F, runner), Stop)
            << after;
    }
    const PointIndex index(ref.lat, ref.lon);
    EXPECT_EQ(index.size(), large);
}

// Queries with a huge radius or k ask their check once per few thousand
// points at most, whatever they find, and stop when it throws.
TEST(PointIndex, LongQueriesAskTheirCheckAndStop) {
    constexpr std::size_t n = 100000;
    const Points ref = uniform_points(n, 23);
    const PointIndex index(ref.lat, ref.lon);
    PointIndex::Scratch scratch;
    std::vector<double> d(n);
    std::vector<std::int64_t> idx(n);
    for (const auto m : {DistanceMethod::great_circle, DistanceMethod::geodesic}) {
        for (const bool sort : {true, false}) {
            if (m == DistanceMethod::geodesic && !sort) continue;  // slow, and no different
            CountingStop count;
            std::vector<Neighbor> hits;
            index.query_radius(10, 20, 3e7, m, sort, hits, scratch, &count);
            ASSERT_EQ(hits.size(), n);
            EXPECT_GE(count.checks(), long(n / 16384));
            CountingStop stop(count.checks() / 2);
            EXPECT_THROW(index.query_radius(10, 20, 3e7, m, sort, hits, scratch, &stop), Stop);
        }
        CountingStop count;
        index.query(10, 20, n, m, inf, d.data(), idx.data(), scratch, &count);
        EXPECT_GE(count.checks(), long(n / 16384));
        CountingStop stop(count.checks() / 2);
        EXPECT_THROW(index.query(10, 20, n, m, inf, d.data(), idx.data(), scratch, &stop), Stop);
    }
}

}  // namespace
