// Per-call cost of GeographicLib's WGS84 Inverse (distance and both azimuths)
// and Direct (end point and azimuth), for comparing builds of the library: the
// CMake build links this same file against each (see CMakeLists.txt here).
//
// Usage: LABEL_bench [calls] [runs]
// Every build draws the same inputs from a fixed-seed generator of its own
// (no <random> distribution, whose output the standard leaves open), times
// `runs` passes over them for each problem, and prints one line of JSON: the
// median and the fastest pass in ns per call, and a hash of every output bit.
// Equal hashes mean the builds computed bit-identical results.
#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifndef ORVIK_BENCH_LABEL
#define ORVIK_BENCH_LABEL "unnamed"
#endif

namespace {

struct SplitMix64 {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // Uniform on [lo, hi), from the top 53 bits.
    double uniform(double lo, double hi) {
        return lo + (hi - lo) * (static_cast<double>(next() >> 11) * 0x1p-53);
    }
};

struct Fnv1a {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    void add(double x) {
        std::uint64_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        for (int i = 0; i < 8; ++i) {
            h ^= (bits >> (8 * i)) & 0xff;
            h *= 0x100000001b3ULL;
        }
    }
};

// Random pairs over the whole globe, with every tenth pair nearly antipodal,
// where Inverse needs its most iterations; random distances up to half a
// meridian for Direct.
struct Inputs {
    std::vector<double> lat1, lon1, lat2, lon2, azi1, s12;
    explicit Inputs(std::size_t n) : lat1(n), lon1(n), lat2(n), lon2(n), azi1(n), s12(n) {
        SplitMix64 rng{20260101};
        for (std::size_t i = 0; i < n; ++i) {
            lat1[i] = rng.uniform(-90, 90);
            lon1[i] = rng.uniform(-180, 180);
            if (i % 10 == 0) {
                lat2[i] = -lat1[i] + rng.uniform(-0.5, 0.5);
                lon2[i] = lon1[i] + 180 + rng.uniform(-0.5, 0.5);
            } else {
                lat2[i] = rng.uniform(-90, 90);
                lon2[i] = rng.uniform(-180, 180);
            }
            azi1[i] = rng.uniform(-180, 180);
            s12[i] = rng.uniform(0, 20'003'931);
        }
    }
};

struct Timing {
    double median_ns, best_ns;
    std::uint64_t hash;
};

template <class Pass>
Timing time_passes(std::size_t n, int runs, Pass&& pass) {
    std::vector<double> ns;
    std::uint64_t hash = 0;
    pass();  // warm-up: caches, branch predictors, the CPU's clock
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        hash = pass();
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        ns.push_back(elapsed.count() / static_cast<double>(n));
    }
    std::sort(ns.begin(), ns.end());
    return {ns[ns.size() / 2], ns.front(), hash};
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 200'000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    if (n == 0 || runs <= 0) {
        std::fprintf(stderr, "usage: %s [calls] [runs]\n", argv[0]);
        return 2;
    }
    const Inputs in(n);
    // Constructed as orvik's solver is (core/geodesic.cpp).
    const GeographicLib::Geodesic wgs84(6378137.0, 1.0 / 298.257223563);

    const Timing inverse = time_passes(n, runs, [&] {
        Fnv1a h;
        for (std::size_t i = 0; i < n; ++i) {
            double s12, azi1, azi2;
            const double a12 = wgs84.Inverse(in.lat1[i], in.lon1[i], in.lat2[i], in.lon2[i], s12, azi1, azi2);
            h.add(s12), h.add(azi1), h.add(azi2), h.add(a12);
        }
        return h.h;
    });
    const Timing direct = time_passes(n, runs, [&] {
        Fnv1a h;
        for (std::size_t i = 0; i < n; ++i) {
            double lat2, lon2, azi2;
            const double a12 = wgs84.Direct(in.lat1[i], in.lon1[i], in.azi1[i], in.s12[i], lat2, lon2, azi2);
            h.add(lat2), h.add(lon2), h.add(azi2), h.add(a12);
        }
        return h.h;
    });
    std::printf("{\"library\": \"%s\", \"calls\": %zu, \"runs\": %d, "
                "\"inverse_ns\": %.1f, \"inverse_best_ns\": %.1f, \"inverse_hash\": \"%016llx\", "
                "\"direct_ns\": %.1f, \"direct_best_ns\": %.1f, \"direct_hash\": \"%016llx\"}\n",
                ORVIK_BENCH_LABEL, n, runs, inverse.median_ns, inverse.best_ns,
                static_cast<unsigned long long>(inverse.hash), direct.median_ns, direct.best_ns,
                static_cast<unsigned long long>(direct.hash));
    return 0;
}
