// Single-threaded cost of the point index, printed as one JSON object: build
// time, memory per point, and time per query for k = 1 and 10 by both
// methods.  Times are given twice: wall clock, and the CPU time of the
// process, which other work on a busy machine disturbs less.
//
// Usage:
//   point_index_bench POINTS QUERIES   reference and query points from files
//                                      of native float64: n latitudes, then
//                                      n longitudes (degrees)
//   point_index_bench --scaling [QUERIES]
//                                      uniform random points on the sphere,
//                                      n = 1e3 ... 1e7, QUERIES random
//                                      queries (default 1e5) against each
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "core/point_index.hpp"

namespace {

using orvik::core::DistanceMethod;
using orvik::core::PointIndex;
using Clock = std::chrono::steady_clock;

struct Points {
    std::vector<double> lat, lon;
};

Points read_points(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    const std::size_t n = bytes.size() / (2 * sizeof(double));
    Points p;
    p.lat.resize(n);
    p.lon.resize(n);
    std::memcpy(p.lat.data(), bytes.data(), n * sizeof(double));
    std::memcpy(p.lon.data(), bytes.data() + n * sizeof(double), n * sizeof(double));
    return p;
}

Points uniform_points(std::size_t n, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> z(-1.0, 1.0), lon(-180.0, 180.0);
    Points p;
    p.lat.resize(n);
    p.lon.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        p.lat[i] = std::asin(z(rng)) * 57.29577951308232;
        p.lon[i] = lon(rng);
    }
    return p;
}

double cpu_seconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Stopwatch {
    Clock::time_point wall = Clock::now();
    double cpu = cpu_seconds();
    // Seconds since construction: wall clock, CPU.
    std::pair<double, double> elapsed() const {
        return {std::chrono::duration<double>(Clock::now() - wall).count(), cpu_seconds() - cpu};
    }
};

// Every query once, in order; microseconds per query (wall, CPU).  The
// checksum keeps the work from being optimised away and lets runs be
// compared.
std::pair<double, double> time_queries(const PointIndex& index, const Points& q, std::size_t k,
                                       DistanceMethod method, double& checksum) {
    PointIndex::Scratch scratch;
    std::vector<double> d(k);
    std::vector<std::int64_t> idx(k);
    const std::size_t m = q.lat.size();
    const Stopwatch watch;
    for (std::size_t i = 0; i < m; ++i) {
        index.query(q.lat[i], q.lon[i], k, method, std::numeric_limits<double>::infinity(),
                    d.data(), idx.data(), scratch);
        checksum += d[k - 1] + static_cast<double>(idx[0]);
    }
    const auto [wall, cpu] = watch.elapsed();
    const double per = 1e6 / static_cast<double>(m);
    return {wall * per, cpu * per};
}

void report(const Points& ref, const Points& q, const char* indent) {
    const Stopwatch watch;
    const PointIndex index(ref.lat, ref.lon);
    const auto [build_wall, build_cpu] = watch.elapsed();
    double checksum = 0.0;
    struct Run {
        const char* name;
        std::size_t k;
        DistanceMethod method;
    };
    const Run runs[] = {{"great_circle_k1", 1, DistanceMethod::great_circle},
                        {"great_circle_k10", 10, DistanceMethod::great_circle},
                        {"geodesic_k1", 1, DistanceMethod::geodesic},
                        {"geodesic_k10", 10, DistanceMethod::geodesic}};
    std::pair<double, double> us[4];
    for (std::size_t r = 0; r < 4; ++r) {
        us[r] = time_queries(index, q, runs[r].k, runs[r].method, checksum);
    }
    std::printf("%s{\"n\": %zu, \"queries\": %zu, \"bytes_per_point\": %.1f,\n", indent,
                ref.lat.size(), q.lat.size(),
                static_cast<double>(index.memory_bytes()) / static_cast<double>(ref.lat.size()));
    std::printf("%s \"build_s\": {\"wall\": %.4f, \"cpu\": %.4f},\n", indent, build_wall,
                build_cpu);
    for (const bool cpu : {false, true}) {
        std::printf("%s \"us_per_query_%s\": {", indent, cpu ? "cpu" : "wall");
        for (std::size_t r = 0; r < 4; ++r) {
            std::printf("%s\"%s\": %.3f", r ? ", " : "", runs[r].name,
                        cpu ? us[r].second : us[r].first);
        }
        std::printf("},\n");
    }
    std::printf("%s \"checksum\": %.17g}", indent, checksum);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--scaling") == 0) {
        const std::size_t queries = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 100000;
        const Points q = uniform_points(queries, 2);
        std::printf("[\n");
        for (std::size_t n = 1000; n <= 10000000; n *= 10) {
            report(uniform_points(n, 1), q, "  ");
            std::printf(n < 10000000 ? ",\n" : "\n");
            std::fflush(stdout);
        }
        std::printf("]\n");
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s POINTS QUERIES | --scaling [QUERIES]\n", argv[0]);
        return 2;
    }
    report(read_points(argv[1]), read_points(argv[2]), "");
    std::printf("\n");
    return 0;
}
