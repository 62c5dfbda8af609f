// Picks the haversine kernel once per process and runs every distance
// through it.
//
// Why glibc's libmvec for the vector sin, cos, asin (and atan2): measured on this
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
// only as a shared library every user would have to install.  libmvec is looked up
// at run time (core/vector_math.cpp) rather than linked, so a build from a
// newer glibc still loads on an older one, on the portable kernel.
#include "core/great_circle_kernel.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(ORVIK_VECTOR_MATH_X86)
#include <cpuid.h>
#endif

#include "core/great_circle_kernel_variants.hpp"
#include "core/great_circle_lanes.hpp"
#include "core/vector_math.hpp"

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
    // One lane: a vector is never partly filled.
    static V load_first(const double* p, std::size_t count) noexcept { return count ? load(p) : 0.0; }
    static V splat(double x) noexcept { return x; }
    static V add(V x, V y) noexcept { return x + y; }
    static V sub(V x, V y) noexcept { return x - y; }
    static V mul(V x, V y) noexcept { return x * y; }
    static V div(V x, V y) noexcept { return x / y; }
    static V sqrt(V x) noexcept { return std::sqrt(x); }
    // Comparisons with NaN are false, so NaN stays NaN.
    static V at_most_one(V h) noexcept { return h > 1.0 ? 1.0 : h; }
    static V clamp_unit(V x) noexcept { return x < -1.0 ? -1.0 : at_most_one(x); }
    V sin(V x) const noexcept { return std::sin(x); }
    V cos(V x) const noexcept { return std::cos(x); }
    V asin(V x) const noexcept { return std::asin(x); }
    V atan2(V y, V x) const noexcept { return std::atan2(y, x); }
};

}  // namespace

void distance_portable(const double* lat1, const double* lon1, const double* lat2,
                       const double* lon2, double* out, std::size_t n, double radius) noexcept {
    distance_run(Scalar{}, lat1, lon1, lat2, lon2, out, n, radius);
}

void destination_exact(double lat1, double lon1, double bearing, double distance, double radius,
                       double& lat2, double& lon2) noexcept {
    Scalar ops;
    double start_sine, end_sine;
    destination_lanes(ops, lat1, lon1, bearing, distance, radius, lat2, lon2, start_sine, end_sine);
}

// With scalar libm every lane is already the exact formula: nothing is ever
// computed again.
void destination_portable(const double* lat1, const double* lon1, const double* bearing,
                          const double* distance, double* lat2, double* lon2, std::size_t n,
                          double radius) noexcept {
    const auto never = [](double, double, double, double, double, double&, double&) noexcept {};
    destination_run(Scalar{}, never, lat1, lon1, bearing, distance, lat2, lon2, n, radius);
}

}  // namespace kernels

namespace {

#if defined(ORVIK_VECTOR_MATH_X86)
// What the CPU and the operating system offer, asked of the CPU itself:
// some toolchains' __builtin_cpu_supports answers no to everything (zig's,
// which builds the portable wheels).  A wide register set is usable only if
// the CPU has it and the operating system saves it across context switches
// (XCR0).
struct VectorUnits {
    bool avx2 = false;
    bool avx512f = false;
};

VectorUnits vector_units() noexcept {
    VectorUnits units;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0 || eax < 7) return units;
    __cpuid(1, eax, ebx, ecx, edx);
    const bool osxsave = (ecx >> 27) & 1u, avx = (ecx >> 28) & 1u;
    if (!osxsave || !avx) return units;
    unsigned xcr0_low = 0, xcr0_high = 0;
    __asm__ volatile("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
    const bool saves_ymm = (xcr0_low & 0x6u) == 0x6u;      // SSE and AVX state
    const bool saves_zmm = (xcr0_low & 0xE6u) == 0xE6u;    // and the AVX-512 state
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    units.avx2 = saves_ymm && ((ebx >> 5) & 1u);
    units.avx512f = saves_zmm && ((ebx >> 16) & 1u);
    return units;
}
#endif

struct KernelTable {
    GreatCircleKernel entries[4];
    std::size_t count;
};

KernelTable detect_kernels() noexcept {
    KernelTable table{};
    auto add = [&table](GreatCircleKernel kernel) { table.entries[table.count++] = kernel; };
#if defined(ORVIK_VECTOR_MATH_X86)
    const VectorUnits units = vector_units();
    if (units.avx512f && vector_math(8)) {
        add({"avx512", 8, kernels::distance_avx512, kernels::destination_avx512});
    }
    if (units.avx2 && vector_math(4)) {
        add({"avx2", 4, kernels::distance_avx2, kernels::destination_avx2});
    }
    if (vector_math(2)) add({"sse2", 2, kernels::distance_sse2, kernels::destination_sse2});
#endif
    add({"portable", 1, kernels::distance_portable, kernels::destination_portable});
    return table;
}

const KernelTable& kernel_table() noexcept {
    static const KernelTable table = detect_kernels();
    return table;
}

// Other layouts go through blocks small enough to stay in the first-level
// cache: gathered in, computed contiguously, scattered out.
constexpr std::size_t block = 256;

const double* gather(const StridedIn& column, std::size_t start, std::size_t m, double* buffer) noexcept {
    const StridedIn in{column.data + static_cast<std::ptrdiff_t>(start) * column.step, column.step};
    if (in.contiguous()) return reinterpret_cast<const double*>(in.data);
    for (std::size_t j = 0; j < m; ++j) buffer[j] = in[j];
    return buffer;
}

double* target(const StridedOut& column, std::size_t start, double* buffer) noexcept {
    const StridedOut to{column.data + static_cast<std::ptrdiff_t>(start) * column.step, column.step};
    return to.contiguous() ? reinterpret_cast<double*>(to.data) : buffer;
}

void scatter(const StridedOut& column, std::size_t start, std::size_t m, const double* buffer) noexcept {
    const StridedOut to{column.data + static_cast<std::ptrdiff_t>(start) * column.step, column.step};
    if (to.contiguous()) return;
    for (std::size_t j = 0; j < m; ++j) to.set(j, buffer[j]);
}

}  // namespace

std::span<const GreatCircleKernel> usable_great_circle_kernels() noexcept {
    const KernelTable& table = kernel_table();
    return {table.entries, table.count};
}

const GreatCircleKernel& active_great_circle_kernel() noexcept {
    static const GreatCircleKernel& active = chosen_kernel(std::getenv(great_circle_kernel_variable));
    return active;
}

const GreatCircleKernel& chosen_kernel(const char* name) noexcept {
    const KernelTable& table = kernel_table();
    if (name != nullptr) {
        for (std::size_t k = 0; k < table.count; ++k) {
            if (std::strcmp(table.entries[k].name, name) == 0) return table.entries[k];
        }
    }
    return table.entries[0];
}

void great_circle_distance_n(const double* lat1, const double* lon1, const double* lat2,
                             const double* lon2, double* out, std::size_t n, double radius) noexcept {
    active_great_circle_kernel().distance(lat1, lon1, lat2, lon2, out, n, radius);
}

void great_circle_destination_n(const double* lat1, const double* lon1, const double* bearing,
                                const double* distance, double* lat2, double* lon2, std::size_t n,
                                double radius) noexcept {
    active_great_circle_kernel().destination(lat1, lon1, bearing, distance, lat2, lon2, n, radius);
}

namespace {

// Runs `call(inputs, outputs, m)` of a contiguous kernel over strided
// columns: all at once when every column is contiguous, else block by block
// through buffers.
template <std::size_t Out, class Call>
void run_blocked(const StridedIn (&in)[4], const StridedOut (&out)[Out], std::size_t n, const Call& call) {
    bool contiguous = true;
    for (const StridedIn& c : in) contiguous = contiguous && c.contiguous();
    for (const StridedOut& c : out) contiguous = contiguous && c.contiguous();
    const double* ins[4];
    double* outs[Out];
    if (contiguous) {
        for (std::size_t k = 0; k < 4; ++k) ins[k] = reinterpret_cast<const double*>(in[k].data);
        for (std::size_t k = 0; k < Out; ++k) outs[k] = reinterpret_cast<double*>(out[k].data);
        call(ins, outs, n);
        return;
    }
    double buffers[4 + Out][block];
    for (std::size_t start = 0; start < n; start += block) {
        const std::size_t m = n - start < block ? n - start : block;
        for (std::size_t k = 0; k < 4; ++k) ins[k] = gather(in[k], start, m, buffers[k]);
        for (std::size_t k = 0; k < Out; ++k) outs[k] = target(out[k], start, buffers[4 + k]);
        call(ins, outs, m);
        for (std::size_t k = 0; k < Out; ++k) scatter(out[k], start, m, outs[k]);
    }
}

}  // namespace

void great_circle_distance_strided(StridedIn lat1, StridedIn lon1, StridedIn lat2, StridedIn lon2,
                                   StridedOut out, std::size_t n, double radius) noexcept {
    const DistanceKernelFn run = active_great_circle_kernel().distance;
    run_blocked<1>({lat1, lon1, lat2, lon2}, {out}, n, [&](const double* const (&i)[4], double* const (&o)[1],
                                                           std::size_t m) {
        run(i[0], i[1], i[2], i[3], o[0], m, radius);
    });
}

void great_circle_destination_strided(StridedIn lat1, StridedIn lon1, StridedIn bearing,
                                      StridedIn distance, StridedOut lat2, StridedOut lon2,
                                      std::size_t n, double radius) noexcept {
    const DestinationKernelFn run = active_great_circle_kernel().destination;
    run_blocked<2>({lat1, lon1, bearing, distance}, {lat2, lon2}, n,
                   [&](const double* const (&i)[4], double* const (&o)[2], std::size_t m) {
                       run(i[0], i[1], i[2], i[3], o[0], o[1], m, radius);
                   });
}

}  // namespace orvik::core
