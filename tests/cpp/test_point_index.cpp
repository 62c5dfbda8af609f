// The point index against brute force: every distance to every reference
// point with the library's scalar functions, then a stable sort.  Results
// must match bit for bit in distances and exactly in indices.
#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/geodesic.hpp"
#include "core/great_circle.hpp"
#include "core/point_index.hpp"

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

class Oracle {
public:
    Oracle(const Points& ref, Ellipsoid e) : ref_(ref), solver_(e.a, e.f) {}

    double distance(DistanceMethod m, double lat, double lon, std::size_t i) const {
        if (m == DistanceMethod::great_circle) {
            return orvik::core::great_circle_distance(lat, lon, ref_.lat[i], ref_.lon[i]);
        }
        double s12, azi1, azi2;
        solver_.Inverse(lat, lon, ref_.lat[i], ref_.lon[i], s12, azi1, azi2);
        return s12;
    }

    // Every reference point, stably sorted by distance.
    std::vector<Neighbor> sorted(DistanceMethod m, double lat, double lon) const {
        std::vector<Neighbor> all;
        for (std::size_t i = 0; i < ref_.lat.size(); ++i) {
            all.push_back({distance(m, lat, lon, i), static_cast<std::int64_t>(i)});
        }
        std::stable_sort(all.begin(), all.end(), [](const Neighbor& x, const Neighbor& y) {
            return x.distance < y.distance;
        });
        return all;
    }

private:
    const Points& ref_;
    GeographicLib::Geodesic solver_;
};

void expect_same(const std::vector<Neighbor>& want, const double* d, const std::int64_t* idx,
                 std::size_t k, const std::string& where) {
    for (std::size_t j = 0; j < k; ++j) {
        const Neighbor w = j < want.size() ? want[j] : Neighbor{inf, -1};
        ASSERT_TRUE(same_bits(w.distance, d[j]) && w.index == idx[j])
            << where << " slot " << j << ": want " << w.index << " at " << w.distance << ", got "
            << idx[j] << " at " << d[j];
    }
}

std::vector<Neighbor> within(std::vector<Neighbor> all, double r, bool by_index) {
    all.erase(std::remove_if(all.begin(), all.end(),
                             [r](const Neighbor& x) { return !(x.distance <= r); }),
              all.end());
    if (by_index) {
        std::sort(all.begin(), all.end(),
                  [](const Neighbor& x, const Neighbor& y) { return x.index < y.index; });
    }
    return all;
}

using Case = std::tuple<const char*, Ellipsoid, DistanceMethod>;

class AgainstBruteForce : public ::testing::TestWithParam<Case> {};

TEST_P(AgainstBruteForce, NearestAndWithinRadius) {
    const auto& [kind, ellipsoid, method] = GetParam();
    const Points ref = reference_set(kind);
    const PointIndex index(ref.lat, ref.lon, ellipsoid.a, ellipsoid.f);
    const Oracle oracle(ref, ellipsoid);
    const Points queries = query_set(ref);
    const std::size_t n = ref.lat.size();
    PointIndex::Scratch scratch;
    std::vector<double> d(n + 3);
    std::vector<std::int64_t> idx(n + 3);
    std::vector<Neighbor> hits;
    for (std::size_t qi = 0; qi < queries.lat.size(); ++qi) {
        const double lat = queries.lat[qi], lon = queries.lon[qi];
        const std::vector<Neighbor> all = oracle.sorted(method, lat, lon);
        const std::string where = "query (" + std::to_string(lat) + ", " + std::to_string(lon) + ")";
        // Limits exactly at a neighbour's distance: inclusive.
        std::vector<double> limits = {inf, 0.0};
        if (n > 2) limits.push_back(all[2].distance);
        for (const std::size_t k : {std::size_t{1}, std::size_t{3}, n + 3}) {
            for (const double limit : limits) {
                index.query(lat, lon, k, method, limit, d.data(), idx.data(), scratch);
                std::vector<Neighbor> want = within(all, limit, false);
                expect_same(want, d.data(), idx.data(), k,
                            where + " k=" + std::to_string(k) + " limit=" + std::to_string(limit));
            }
        }
        for (const double r : limits) {
            for (const bool sort : {true, false}) {
                hits.assign(1, Neighbor{-1.0, -7});  // appended after what is there
                const std::size_t count = index.query_radius(lat, lon, r, method, sort, hits, scratch);
                const std::vector<Neighbor> want = within(all, r, !sort);
                ASSERT_EQ(count, want.size()) << where << " r=" << r;
                ASSERT_EQ(hits.size(), want.size() + 1);
                for (std::size_t j = 0; j < want.size(); ++j) {
                    ASSERT_TRUE(same_bits(want[j].distance, hits[j + 1].distance) &&
                                want[j].index == hits[j + 1].index)
                        << where << " r=" << r << " sort=" << sort << " hit " << j;
                }
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
            EXPECT_TRUE(d[0] == inf && d[1] == inf && idx[0] == -1 && idx[1] == -1) << c[0] << " " << c[1];
            EXPECT_EQ(index.query_radius(c[0], c[1], c[2], m, true, hits, scratch), 0u);
        }
    }
}

TEST(PointIndex, ConcurrentQueriesAgreeWithOneThread) {
    const Points ref = reference_set("uniform");
    const PointIndex index(ref.lat, ref.lon);
    constexpr std::size_t queries = 300, k = 4;
    std::mt19937_64 rng(3);
    Points q;
    for (std::size_t i = 0; i < queries; ++i) q.add(random_lat(rng), random_lon(rng));
    const auto run = [&](std::vector<double>& d, std::vector<std::int64_t>& idx) {
        PointIndex::Scratch scratch;
        d.resize(2 * queries * k);
        idx.resize(2 * queries * k);
        for (std::size_t i = 0; i < queries; ++i) {
            for (int m = 0; m < 2; ++m) {
                const std::size_t at = (2 * i + m) * k;
                index.query(q.lat[i], q.lon[i], k, static_cast<DistanceMethod>(m), inf, &d[at],
                            &idx[at], scratch);
            }
        }
    };
    std::vector<double> d0;
    std::vector<std::int64_t> idx0;
    run(d0, idx0);
    std::vector<std::vector<double>> d(4);
    std::vector<std::vector<std::int64_t>> idx(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 4; ++t) threads.emplace_back([&, t] { run(d[t], idx[t]); });
    for (auto& t : threads) t.join();
    for (std::size_t t = 0; t < 4; ++t) {
        EXPECT_EQ(std::memcmp(d[t].data(), d0.data(), d0.size() * sizeof(double)), 0);
        EXPECT_EQ(idx[t], idx0);
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

}  // namespace
