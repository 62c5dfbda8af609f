// Lower bound for a scalar geodesic distance: GeographicLib's inverse solution
// called directly in a C++ loop, with the same outputs (distance and both
// azimuths) that orvik asks for.
//
// Usage: geodesic_loop POINTS_FILE SLICE PASSES
// POINTS_FILE holds native float64 quadruples (lat1, lon1, lat2, lon2), timed
// in slices of SLICE pairs, one slice after the other, PASSES times over.
// Prints each slice's best per-call time, in nanoseconds, then a checksum
// that keeps the work from being optimised away.
// Going round all slices keeps the branch predictor from learning one slice.
#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s POINTS_FILE SLICE PASSES\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<double> points(bytes.size() / sizeof(double));
    std::copy_n(bytes.data(), points.size() * sizeof(double), reinterpret_cast<char*>(points.data()));
    const std::size_t slice = std::strtoul(argv[2], nullptr, 10);
    const int passes = std::atoi(argv[3]);
    const std::size_t slices = slice == 0 ? 0 : points.size() / 4 / slice;
    if (slices == 0 || passes <= 0) return 2;

    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    std::vector<double> best(slices, std::numeric_limits<double>::infinity());
    double checksum = 0.0;
    for (int pass = 0; pass < passes; ++pass) {
        for (std::size_t k = 0; k < slices; ++k) {
            const double* p = &points[4 * k * slice];
            const auto start = std::chrono::steady_clock::now();
            for (std::size_t i = 0; i < slice; ++i, p += 4) {
                double s12, azi1, azi2;
                wgs84.Inverse(p[0], p[1], p[2], p[3], s12, azi1, azi2);
                checksum += s12;
            }
            const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
            best[k] = std::min(best[k], elapsed.count() / static_cast<double>(slice));
        }
    }
    for (double b : best) std::printf("%.3f ", b);
    std::printf("%.6e\n", checksum);
    return 0;
}
