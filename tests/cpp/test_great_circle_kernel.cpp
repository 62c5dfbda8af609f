// The vector haversine kernels: agreement with the formula evaluated by
// scalar libm, bit-identity of every element with the one-point call, and
// IEEE special values.  Every kernel the running CPU can execute is tested,
// not only the one the process dispatches to.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "core/constants.hpp"
#include "core/great_circle.hpp"
#include "core/great_circle_kernel.hpp"
#include "core/vector_math.hpp"

namespace orvik::core {
// Test names and failure messages show the kernel by name.
void PrintTo(const GreatCircleKernel& kernel, std::ostream* os) { *os << kernel.name; }
}  // namespace orvik::core

namespace {

using orvik::core::EARTH_RADIUS_M;
using orvik::core::GreatCircleKernel;

constexpr double nan_v = std::numeric_limits<double>::quiet_NaN();
constexpr double inf_v = std::numeric_limits<double>::infinity();
const double pi_r = std::acos(-1.0) * EARTH_RADIUS_M;

// The haversine written out with scalar libm, keeping the two terms of h for
// the condition number.
struct Reference {
    double distance, a, b, h;
};

Reference reference(double lat1, double lon1, double lat2, double lon2) {
    const double k = 0.017453292519943295;
    const double dlon = (lon2 - lon1) * k;
    const double phi1 = lat1 * k;
    const double phi2 = lat2 * k;
    const double s = std::sin((phi2 - phi1) * 0.5);
    const double a = s * s;
    const double q = std::cos(phi1) * std::cos(phi2);
    const double t = std::sin(dlon * 0.5);
    const double b = q * (t * t);
    const double h = a + b;
    const double c = std::asin(std::sqrt(h > 1.0 ? 1.0 : h));
    return {(c + c) * EARTH_RADIUS_M, a, b, h};
}

// How much the formula itself magnifies relative errors of its sines and
// cosines: the sum a + b can cancel (latitudes beyond the poles), and the
// arcsine is steep next to 1 (near-antipodal points).
double condition_number(const Reference& r) {
    const double terms = std::fabs(r.a) + std::fabs(r.b);
    if (terms == 0.0) return 1.0;
    if (r.h <= 0.0 || r.h >= 1.0) return inf_v;
    const double sum = terms / r.h;
    const double root = std::sqrt(r.h);
    const double arcsine = r.h / (2.0 * root * std::sqrt(1.0 - r.h) * std::asin(root));
    return std::max(1.0, sum * std::max(1.0, arcsine));
}

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

struct Points {
    std::vector<double> lat1, lon1, lat2, lon2;
    void add(double a, double b, double c, double d) {
        lat1.push_back(a);
        lon1.push_back(b);
        lat2.push_back(c);
        lon2.push_back(d);
    }
    std::size_t size() const { return lat1.size(); }
};

// Points on the Earth, pairs metres or less apart, near-antipodal pairs,
// latitudes far beyond the poles and longitudes up to 1e300.
const Points& random_points() {
    static const Points points = [] {
        Points p;
        std::mt19937_64 rng(20240611);
        std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0);
        std::uniform_real_distribution<double> unit(-1.0, 1.0), exponent(-12.0, 0.0);
        std::uniform_real_distribution<double> wide_exponent(-5.0, 300.0);
        auto tiny = [&] { return unit(rng) * std::pow(10.0, exponent(rng)); };
        auto wide = [&] { return std::copysign(std::pow(10.0, wide_exponent(rng)), unit(rng)); };
        for (int i = 0; i < 1'200'000; ++i) p.add(lat(rng), lon(rng), lat(rng), lon(rng));
        for (int i = 0; i < 250'000; ++i) {
            const double a = lat(rng), b = lon(rng);
            p.add(a, b, a + tiny(), b + tiny());
        }
        for (int i = 0; i < 250'000; ++i) {
            const double a = lat(rng), b = lon(rng);
            p.add(a, b, -a + tiny(), b + 180.0 + tiny());
        }
        for (int i = 0; i < 250'000; ++i) p.add(unit(rng) * 1e3, wide(), unit(rng) * 1e3, wide());
        for (int i = 0; i < 50'000; ++i) p.add(wide(), wide(), wide(), wide());
        return p;
    }();
    return points;
}

const std::vector<Reference>& random_references() {
    static const std::vector<Reference> references = [] {
        const Points& p = random_points();
        std::vector<Reference> r;
        r.reserve(p.size());
        for (std::size_t i = 0; i < p.size(); ++i) {
            r.push_back(reference(p.lat1[i], p.lon1[i], p.lat2[i], p.lon2[i]));
        }
        return r;
    }();
    return references;
}

std::vector<GreatCircleKernel> kernels() {
    const auto usable = orvik::core::usable_great_circle_kernels();
    return {usable.begin(), usable.end()};
}

std::string kernel_name(const testing::TestParamInfo<GreatCircleKernel>& info) {
    return info.param.name;
}

class GreatCircleKernelTest : public testing::TestWithParam<GreatCircleKernel> {};

INSTANTIATE_TEST_SUITE_P(Usable, GreatCircleKernelTest, testing::ValuesIn(kernels()), kernel_name);

TEST(GreatCircleKernelDispatch, ActiveKernelIsTheWidestUsable) {
    const auto usable = orvik::core::usable_great_circle_kernels();
    ASSERT_FALSE(usable.empty());
    EXPECT_STREQ(usable.back().name, "portable");
    EXPECT_EQ(&orvik::core::active_great_circle_kernel(), &usable.front());
    for (std::size_t i = 1; i < usable.size(); ++i) EXPECT_GT(usable[i - 1].lanes, usable[i].lanes);
#if defined(ORVIK_EXPECT_VECTOR_KERNEL)
    // Every x86-64 CPU has SSE2, so a vector kernel is usable wherever
    // libmvec has the functions.
    if (orvik::core::vector_math(2) != nullptr) {
        EXPECT_GE(usable.front().lanes, 2u);
    }
#endif
}

TEST_P(GreatCircleKernelTest, AgreesWithScalarLibm) {
    const GreatCircleKernel kernel = GetParam();
    const Points& p = random_points();
    const std::vector<Reference>& references = random_references();
    const std::size_t n = p.size();
    std::vector<double> out(n);
    kernel.distance(p.lat1.data(), p.lon1.data(), p.lat2.data(), p.lon2.data(), out.data(), n, orvik::core::EARTH_RADIUS_M);
    const bool exact = std::string(kernel.name) == "portable";
    double max_relative = 0.0, max_per_condition = 0.0;
    std::size_t failures = 0;
    for (std::size_t i = 0; i < n && failures < 10; ++i) {
        const Reference& r = references[i];
        bool ok;
        if (exact) {
            ok = bits(out[i]) == bits(r.distance);
        } else if (std::isnan(r.distance) || std::isnan(out[i])) {
            ok = std::isnan(r.distance) && std::isnan(out[i]);
        } else {
            const double diff = std::fabs(out[i] - r.distance);
            const double relative = r.distance == 0.0 ? (diff == 0.0 ? 0.0 : inf_v)
                                                      : diff / r.distance;
            const double per_condition = relative / condition_number(r);
            max_relative = std::max(max_relative, relative);
            max_per_condition = std::max(max_per_condition, per_condition);
            ok = per_condition <= 1e-13;
        }
        if (!ok) {
            ++failures;
            ADD_FAILURE() << kernel.name << " at (" << p.lat1[i] << ", " << p.lon1[i] << ") ("
                          << p.lat2[i] << ", " << p.lon2[i] << "): " << out[i] << " vs "
                          << r.distance;
        }
    }
    std::printf("[ %s ] %zu points: max relative difference %.3g, %.3g per unit of condition\n",
                kernel.name, n, max_relative, max_per_condition);
}

// Element i of any call, at any position, alignment and length, is the bit
// pattern of the one-point call on the same values.
TEST_P(GreatCircleKernelTest, EveryElementMatchesTheOnePointCall) {
    const GreatCircleKernel kernel = GetParam();
    const double specials[] = {nan_v, inf_v, -inf_v, -0.0, 0.0, 1e300, -1e300, 90.0, -90.0, 180.0};
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> angle(-200.0, 200.0);
    std::uniform_int_distribution<int> pick(0, 15);
    auto value = [&] {
        const int k = pick(rng);
        return k < 10 ? specials[k] : angle(rng);
    };
    constexpr std::size_t max_n = 1030;
    // Five arrays in one byte buffer, each at the same byte offset.
    std::vector<unsigned char> storage(5 * (max_n + 1) * sizeof(double) + 64);
    std::vector<double> values(4 * max_n);
    for (double& v : values) v = value();
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 40; ++n) lengths.push_back(n);
    for (std::size_t n : {63, 64, 65, 127, 255, 256, 257, 1023, 1030}) lengths.push_back(n);
    for (std::size_t offset : {0, 8, 24, 56, 1, 3, 4, 12}) {
        unsigned char* base = storage.data() + offset;
        auto array = [&](int k) {
            return reinterpret_cast<double*>(base + k * (max_n + 1) * sizeof(double));
        };
        for (int k = 0; k < 4; ++k) {
            std::memcpy(array(k), values.data() + k * max_n, max_n * sizeof(double));
        }
        for (std::size_t n : lengths) {
            kernel.distance(array(0), array(1), array(2), array(3), array(4), n, orvik::core::EARTH_RADIUS_M);
            for (std::size_t i = 0; i < n; ++i) {
                double in[4], alone, got;
                for (int k = 0; k < 4; ++k) in[k] = values[k * max_n + i];
                kernel.distance(&in[0], &in[1], &in[2], &in[3], &alone, 1, orvik::core::EARTH_RADIUS_M);
                std::memcpy(&got, array(4) + i, sizeof got);
                ASSERT_EQ(bits(got), bits(alone))
                    << kernel.name << " n=" << n << " offset=" << offset << " i=" << i;
            }
        }
    }
}

TEST(GreatCircleKernelDispatch, ScalarFunctionIsTheActiveKernelsOnePointCall) {
    const Points& p = random_points();
    const std::size_t n = 100'000;
    std::vector<double> out(n);
    orvik::core::great_circle_distance_n(p.lat1.data(), p.lon1.data(), p.lat2.data(),
                                         p.lon2.data(), out.data(), n);
    for (std::size_t i = 0; i < n; ++i) {
        const double one = orvik::core::great_circle_distance(p.lat1[i], p.lon1[i], p.lat2[i],
                                                              p.lon2[i]);
        ASSERT_EQ(bits(one), bits(out[i])) << i;
    }
}

TEST(GreatCircleKernelStrided, MatchesTheContiguousCall) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> angle(-180.0, 180.0);
    const std::ptrdiff_t strides[] = {1, 0, 2, 3, -1, -5};
    for (std::size_t n : {0, 1, 7, 255, 256, 257, 1000}) {
        for (std::ptrdiff_t stride : strides) {
            for (int strided_input = 0; strided_input < 4; ++strided_input) {
                // Input `strided_input` is read through `stride`, the others
                // contiguously (and input 3 always with stride 0 when the
                // first is reversed, to mix kinds in one call).
                std::ptrdiff_t s[4] = {1, 1, 1, 1};
                s[strided_input] = stride;
                if (stride < 0 && strided_input == 0) s[3] = 0;
                std::vector<double> dense[4];
                std::vector<std::vector<double>> backing(4);
                orvik::core::StridedIn in[4];
                for (int k = 0; k < 4; ++k) {
                    const std::size_t span = s[k] == 0 ? 1 : n * std::abs(s[k]) + 1;
                    backing[k].resize(span);
                    for (double& v : backing[k]) v = angle(rng);
                    const double* first = s[k] < 0 ? backing[k].data() + span - 1
                                                    : backing[k].data();
                    in[k] = {reinterpret_cast<const char*>(first),
                             s[k] * static_cast<std::ptrdiff_t>(sizeof(double))};
                    for (std::size_t i = 0; i < n; ++i) {
                        dense[k].push_back(first[static_cast<std::ptrdiff_t>(i) * s[k]]);
                    }
                }
                std::vector<double> expected(n), got(n);
                orvik::core::great_circle_distance_n(dense[0].data(), dense[1].data(),
                                                     dense[2].data(), dense[3].data(),
                                                     expected.data(), n);
                // Results written every other slot, through a stride too.
                std::vector<double> spread(2 * n + 1);
                orvik::core::great_circle_distance_strided(
                    in[0], in[1], in[2], in[3],
                    {reinterpret_cast<char*>(spread.data()), 2 * sizeof(double)}, n);
                for (std::size_t i = 0; i < n; ++i) got[i] = spread[2 * i];
                for (std::size_t i = 0; i < n; ++i) {
                    ASSERT_EQ(bits(got[i]), bits(expected[i]))
                        << "n=" << n << " stride=" << stride << " input=" << strided_input
                        << " i=" << i;
                }
            }
        }
    }
}

struct SpecialCase {
    const char* label;
    double lat1, lon1, lat2, lon2;
    enum { NaN, PositiveZero } expect;
};

const SpecialCase special_cases[] = {
    {"nan lat1", nan_v, 0, 0, 0, SpecialCase::NaN},
    {"nan lon1", 0, nan_v, 0, 0, SpecialCase::NaN},
    {"nan lat2", 0, 0, nan_v, 0, SpecialCase::NaN},
    {"nan lon2", 0, 0, 0, nan_v, SpecialCase::NaN},
    {"inf lat1", inf_v, 0, 0, 0, SpecialCase::NaN},
    {"-inf lat2", 0, 0, -inf_v, 0, SpecialCase::NaN},
    {"inf lon1", 0, inf_v, 0, 0, SpecialCase::NaN},
    {"-inf lon2", 0, 0, 0, -inf_v, SpecialCase::NaN},
    {"inf - inf", 0, inf_v, 0, inf_v, SpecialCase::NaN},
    {"longitude difference overflows", 0, -1.7e308, 0, 1.7e308, SpecialCase::NaN},
    {"all negative zero", -0.0, -0.0, -0.0, -0.0, SpecialCase::PositiveZero},
    {"mixed zeros", 0.0, -0.0, -0.0, 0.0, SpecialCase::PositiveZero},
    {"identical points", 12.5, -33.25, 12.5, -33.25, SpecialCase::PositiveZero},
    {"identical huge longitude", 12.5, 1e300, 12.5, 1e300, SpecialCase::PositiveZero},
    {"identical huge latitude", 1e300, 3.0, 1e300, 3.0, SpecialCase::PositiveZero},
    {"identical pole", 90.0, 0.0, 90.0, 0.0, SpecialCase::PositiveZero},
};

TEST_P(GreatCircleKernelTest, SpecialValues) {
    const GreatCircleKernel kernel = GetParam();
    for (const SpecialCase& c : special_cases) {
        double out;
        kernel.distance(&c.lat1, &c.lon1, &c.lat2, &c.lon2, &out, 1, orvik::core::EARTH_RADIUS_M);
        if (c.expect == SpecialCase::NaN) {
            EXPECT_TRUE(std::isnan(out)) << kernel.name << ": " << c.label << " gave " << out;
        } else {
            EXPECT_EQ(bits(out), bits(0.0)) << kernel.name << ": " << c.label << " gave " << out;
        }
    }
}

TEST_P(GreatCircleKernelTest, HugeArgumentsMatchScalarLibm) {
    // Angles far beyond one turn need a full argument reduction; a vector
    // routine that skips it is off by whole units.
    const GreatCircleKernel kernel = GetParam();
    const double huge[] = {4e4, 1e6, 123456789.0, 1e15, 1e22, 1e100, 1e300, 1.7e308};
    for (double x : huge) {
        for (double sign : {1.0, -1.0}) {
            // (0, 0) to (0, x), (10, x) to (20, 0) and (x, 5) to (1, 7).
            const double lat1[3] = {0.0, 10.0, sign * x}, lon1[3] = {0.0, sign * x, 5.0};
            const double lat2[3] = {0.0, 20.0, 1.0}, lon2[3] = {sign * x, 0.0, 7.0};
            double out[3];
            kernel.distance(lat1, lon1, lat2, lon2, out, 3, orvik::core::EARTH_RADIUS_M);
            for (int i = 0; i < 3; ++i) {
                const Reference r = reference(lat1[i], lon1[i], lat2[i], lon2[i]);
                EXPECT_NEAR(out[i], r.distance, 1e-13 * condition_number(r) * r.distance)
                    << kernel.name << " x=" << sign * x << " i=" << i;
            }
        }
    }
}

TEST_P(GreatCircleKernelTest, AntipodesNeverBecomeNaN) {
    // Rounding carries h past 1 for a few percent of exact antipodes; the
    // clamp keeps those at half the circumference.
    const GreatCircleKernel kernel = GetParam();
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0);
    const std::size_t n = 20'000;
    std::vector<double> lat1(n), lon1(n), lat2(n), lon2(n), out(n);
    for (std::size_t i = 0; i < n; ++i) {
        lat1[i] = lat(rng);
        lon1[i] = lon(rng);
        lat2[i] = -lat1[i];
        lon2[i] = lon1[i] + 180.0;
    }
    kernel.distance(lat1.data(), lon1.data(), lat2.data(), lon2.data(), out.data(), n, orvik::core::EARTH_RADIUS_M);
    for (std::size_t i = 0; i < n; ++i) {
        // The arcsine's steepness at 1 turns the last bit of h into ~1e-8.
        ASSERT_NEAR(out[i], pi_r, 1e-7 * pi_r) << kernel.name << " at " << lat1[i] << ", "
                                               << lon1[i];
    }
}

}  // namespace

namespace {

// The destination kernels: element i of a call is the one-point call's bit
// pattern; every kernel stays within a few units in the last place of the
// scalar formula (scaled by the formula's own sensitivity, which the vector
// kernels keep low by computing the ill-conditioned cases with scalar libm);
// the start point comes back exactly for a distance of zero.
TEST_P(GreatCircleKernelTest, DestinationAgreesWithScalarLibm) {
    const GreatCircleKernel kernel = GetParam();
    std::mt19937_64 rng(17);
    std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0), dist(0.0, 2.1e7);
    constexpr std::size_t n = 20011;
    std::vector<double> in[4], out[2], exact[2];
    for (auto& column : in) column.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        in[0][i] = i % 97 == 0 ? (i % 2 ? 90.0 : -89.99) : lat(rng);
        in[1][i] = lon(rng);
        in[2][i] = lon(rng) * 2;
        in[3][i] = i % 89 == 0 ? 0.0 : dist(rng);
    }
    for (int k = 0; k < 2; ++k) out[k].resize(n), exact[k].resize(n);
    kernel.destination(in[0].data(), in[1].data(), in[2].data(), in[3].data(), out[0].data(),
                       out[1].data(), n, orvik::core::EARTH_RADIUS_M);
    const GreatCircleKernel& portable = orvik::core::usable_great_circle_kernels().back();
    portable.destination(in[0].data(), in[1].data(), in[2].data(), in[3].data(), exact[0].data(),
                         exact[1].data(), n, orvik::core::EARTH_RADIUS_M);
    for (std::size_t i = 0; i < n; ++i) {
        double alone[2];
        kernel.destination(&in[0][i], &in[1][i], &in[2][i], &in[3][i], &alone[0], &alone[1], 1,
                           orvik::core::EARTH_RADIUS_M);
        ASSERT_EQ(bits(alone[0]), bits(out[0][i])) << kernel.name << " i=" << i;
        ASSERT_EQ(bits(alone[1]), bits(out[1][i])) << kernel.name << " i=" << i;
        EXPECT_NEAR(out[0][i], exact[0][i], 1e-11) << kernel.name << " i=" << i;
        EXPECT_NEAR(out[1][i], exact[1][i], 1e-10) << kernel.name << " i=" << i;
        if (in[3][i] == 0.0) {
            EXPECT_EQ(bits(out[0][i]), bits(exact[0][i])) << i;
            EXPECT_EQ(bits(out[1][i]), bits(exact[1][i])) << i;
        }
    }
}

TEST_P(GreatCircleKernelTest, DestinationEdgesStayExact) {
    const GreatCircleKernel kernel = GetParam();
    struct Case {
        double lat1, lon1, bearing, distance, lat2, lon2;
    };
    // A zero distance gives (10, 20) back exactly; a quarter circumference
    // due north reaches the pole exactly.
    const Case cases[] = {{10, 20, 45, 0, 10, 20}, {0, 0, 0, 10007557.221017962, 90.0, 180.0}};
    for (const Case& c : cases) {
        double lat2 = 0, lon2 = 0;
        kernel.destination(&c.lat1, &c.lon1, &c.bearing, &c.distance, &lat2, &lon2, 1,
                           orvik::core::EARTH_RADIUS_M);
        EXPECT_EQ(lat2, c.lat2) << kernel.name;
        EXPECT_EQ(lon2, c.lon2) << kernel.name;
    }
}

}  // namespace
