// Single-core cost of the great-circle kernels at one array size, printed as
// one JSON object: ns per point of every kernel the CPU can run, of the
// one-point call, of a strided call with a broadcast input, and of a plain
// stream over the same five arrays (the memory-bandwidth bound).
// Usage: orvik_kernel_bench [n] [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/great_circle.hpp"
#include "core/great_circle_kernel.hpp"

namespace {

template <class F>
double best_ns_per_point(std::size_t n, int repetitions, F&& run) {
    double best = 1e300;
    for (int r = 0; r < repetitions; ++r) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto stop = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::nano>(stop - start).count());
    }
    return best / static_cast<double>(n);
}

// Reads four arrays and writes one, as the kernel does, with no arithmetic
// worth the name.
__attribute__((noinline)) void stream(const double* a, const double* b, const double* c,
                                      const double* d, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out[i] = (a[i] + b[i]) + (c[i] + d[i]);
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 7;
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0);
    std::vector<double> lat1(n), lon1(n), lat2(n), lon2(n), out(n);
    for (std::size_t i = 0; i < n; ++i) {
        lat1[i] = lat(rng);
        lon1[i] = lon(rng);
        lat2[i] = lat(rng);
        lon2[i] = lon(rng);
    }
    const double* in[4] = {lat1.data(), lon1.data(), lat2.data(), lon2.data()};

    std::printf("{\"n\": %zu, \"active\": \"%s\", \"kernels\": {", n,
                orvik::core::active_great_circle_kernel().name);
    const char* separator = "";
    for (const auto& kernel : orvik::core::usable_great_circle_kernels()) {
        const double ns = best_ns_per_point(n, repetitions, [&] {
            kernel.distance(in[0], in[1], in[2], in[3], out.data(), n, orvik::core::EARTH_RADIUS_M);
        });
        std::printf("%s\"%s\": %.3f", separator, kernel.name, ns);
        separator = ", ";
    }
    std::printf("}");

    const double strided = best_ns_per_point(n, repetitions, [&] {
        // Two columns broadcast from one value each.
        using orvik::core::contiguous;
        const orvik::core::StridedIn lat_once{contiguous(in[2]).data, 0}, lon_once{contiguous(in[3]).data, 0};
        orvik::core::great_circle_distance_strided(contiguous(in[0]), contiguous(in[1]), lat_once,
                                                   lon_once, contiguous(out.data()), n);
    });
    const std::size_t calls = std::min<std::size_t>(n, 200'000);
    const double one_point = best_ns_per_point(calls, repetitions, [&] {
        for (std::size_t i = 0; i < calls; ++i) {
            out[i] = orvik::core::great_circle_distance(lat1[i], lon1[i], lat2[i], lon2[i]);
        }
    });
    const double bound = best_ns_per_point(n, repetitions, [&] {
        stream(in[0], in[1], in[2], in[3], out.data(), n);
    });
    std::printf(", \"strided_broadcast\": %.3f, \"one_point_call\": %.3f, \"stream_bound\": %.3f}\n",
                strided, one_point, bound);
    return 0;
}
