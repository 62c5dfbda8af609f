// Lower bound for a scalar geodesic distance: GeographicLib's inverse solution
// called directly in a C++ loop, with the same outputs (distance and both
// azimuths) that orvik asks for.
//
// Usage: geodesic_loop POINTS_FILE PASSES
// POINTS_FILE holds native float64 quadruples (lat1, lon1, lat2, lon2).
// Prints the best per-call time over PASSES passes, in nanoseconds, and a
// checksum that keeps the work from being optimised away.
#include <GeographicLib/Geodesic.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s POINTS_FILE PASSES\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t n = bytes.size() / (4 * sizeof(double));
    std::vector<double> points(4 * n);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(points.size() * sizeof(double)),
              reinterpret_cast<char*>(points.data()));
    if (n == 0) return 2;
    const int passes = std::atoi(argv[2]);

    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    double best = std::numeric_limits<double>::infinity();
    double checksum = 0.0;
    for (int pass = 0; pass < passes; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < n; ++i) {
            const double* p = &points[4 * i];
            double s12, azi1, azi2;
            wgs84.Inverse(p[0], p[1], p[2], p[3], s12, azi1, azi2);
            checksum += s12;
        }
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        if (elapsed.count() / static_cast<double>(n) < best) best = elapsed.count() / static_cast<double>(n);
    }
    std::printf("%.3f %.6e\n", best, checksum);
    return 0;
}
