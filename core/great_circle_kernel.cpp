// Picks the haversine kernel once per process and runs every distance
// through it.
//
// Why glibc's libmvec for the vector sin, cos and asin: measured on this
// project's 2-core AMD EPYC (AVX-512), one core, n = 1e6, 4e6 random points,
// ns per point of the whole formula:
//   libmvec     AVX-512  6.2   AVX2  9.8   SSE  26
//   SLEEF 3.5   AVX-512  9.9   AVX2 16.4   SSE4 45   (u10 functions)
//   xsimd 8.1   AVX-512 11.9
//   Highway 1.0 AVX-512  5.9, but its sin and cos hold only for |x| < 39000
//               (a relative error of 0.11 at a longitude of 1e300)
//   scalar libm          62
// libmvec, SLEEF and xsimd agree with scalar libm to within a few units in
// the last place once the formula's own conditioning is divided out (at most
// 1.4e-15, 8e-16 and 8e-16 relative per unit of condition number), and
// handle NaN, infinities and huge arguments (libmvec hands the lanes that need
// it to the scalar libm routines).  libmvec is the fastest of them and ships
// with glibc itself (libmvec.so.1, next to libm), whereas Debian has SLEEF
// only as a shared library every user would have to install.  libmvec's
// static archive cannot go into a shared module (its resolvers reference a
// private symbol of the dynamic loader), so the module links the shared one.
#include "core/great_circle_kernel.hpp"

#include <cmath>
#include <cstring>

#include "core/great_circle_kernel_variants.hpp"
#include "core/great_circle_lanes.hpp"

namespace orvik::core {
namespace kernels {
namespace {

struct Scalar {
    using V = double;
    static constexpr std::size_t lanes = 1;
    // Through memcpy: the caller's pointers may be misaligned.
    static V load(const double* p) noexcept {
        double v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static void store(double* p, V v) noexcept { std::memcpy(p, &v, sizeof v); }
    static V splat(double x) noexcept { return x; }
    static V add(V x, V y) noexcept { return x + y; }
    static V sub(V x, V y) noexcept { return x - y; }
    static V mul(V x, V y) noexcept { return x * y; }
    static V sqrt(V x) noexcept { return std::sqrt(x); }
    static V at_most_one(V h) noexcept { return h > 1.0 ? 1.0 : h; }
    static V sin(V x) noexcept { return std::sin(x); }
    static V cos(V x) noexcept { return std::cos(x); }
    static V asin(V x) noexcept { return std::asin(x); }
};

}  // namespace

void great_circle_portable(const double* lat1, const double* lon1, const double* lat2,
                           const double* lon2, double* out, std::size_t n, double radius) noexcept {
    haversine_run<Scalar>(lat1, lon1, lat2, lon2, out, n, radius);
}

}  // namespace kernels

namespace {

struct KernelTable {
    GreatCircleKernel entries[4];
    std::size_t count;
};

KernelTable detect_kernels() noexcept {
    KernelTable table{};
    auto add = [&table](GreatCircleKernel kernel) { table.entries[table.count++] = kernel; };
#if defined(ORVIK_HAVE_LIBMVEC_X86)
    // Checks the operating system's support of the wide registers too.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) add({"avx512", 8, kernels::great_circle_avx512});
    if (__builtin_cpu_supports("avx2")) add({"avx2", 4, kernels::great_circle_avx2});
    add({"sse2", 2, kernels::great_circle_sse2});
#endif
    add({"portable", 1, kernels::great_circle_portable});
    return table;
}

const KernelTable& kernel_table() noexcept {
    static const KernelTable table = detect_kernels();
    return table;
}

}  // namespace

std::span<const GreatCircleKernel> usable_great_circle_kernels() noexcept {
    const KernelTable& table = kernel_table();
    return {table.entries, table.count};
}

const GreatCircleKernel& active_great_circle_kernel() noexcept {
    return kernel_table().entries[0];
}

void great_circle_distance_n(const double* lat1, const double* lon1, const double* lat2,
                             const double* lon2, double* out, std::size_t n, double radius) noexcept {
    active_great_circle_kernel().run(lat1, lon1, lat2, lon2, out, n, radius);
}

void great_circle_distance_strided(StridedIn lat1, StridedIn lon1, StridedIn lat2, StridedIn lon2,
                                   StridedOut out, std::size_t n, double radius) noexcept {
    const GreatCircleKernelFn run = active_great_circle_kernel().run;
    const StridedIn inputs[4] = {lat1, lon1, lat2, lon2};
    bool contiguous = out.contiguous();
    for (const StridedIn& in : inputs) contiguous = contiguous && in.contiguous();
    if (contiguous) {
        const auto at = [](const StridedIn& in) { return reinterpret_cast<const double*>(in.data); };
        run(at(lat1), at(lon1), at(lat2), at(lon2), reinterpret_cast<double*>(out.data), n, radius);
        return;
    }
    // Other layouts go through blocks small enough to stay in the
    // first-level cache.
    constexpr std::size_t block = 256;
    double gathered[5][block];
    for (std::size_t start = 0; start < n; start += block) {
        const std::size_t m = n - start < block ? n - start : block;
        const double* rows[4];
        for (std::size_t k = 0; k < 4; ++k) {
            const StridedIn in{inputs[k].data + static_cast<std::ptrdiff_t>(start) * inputs[k].step,
                               inputs[k].step};
            if (in.contiguous()) {
                rows[k] = reinterpret_cast<const double*>(in.data);
                continue;
            }
            for (std::size_t j = 0; j < m; ++j) gathered[k][j] = in[j];
            rows[k] = gathered[k];
        }
        const StridedOut to{out.data + static_cast<std::ptrdiff_t>(start) * out.step, out.step};
        double* results = to.contiguous() ? reinterpret_cast<double*>(to.data) : gathered[4];
        run(rows[0], rows[1], rows[2], rows[3], results, m, radius);
        if (!to.contiguous()) {
            for (std::size_t j = 0; j < m; ++j) to.set(j, gathered[4][j]);
        }
    }
}

}  // namespace orvik::core
