// The great-circle kernels on SSE2, which every x86-64 CPU has: 2 points per
// instruction, with glibc's vector math library (libmvec).
#if defined(__x86_64__) && defined(ORVIK_VECTOR_MATH_X86)

#include <emmintrin.h>

#include <cstring>

#include "core/great_circle_kernel_variants.hpp"
#include "core/great_circle_lanes.hpp"

namespace orvik::core::kernels {
namespace {

struct Sse2Vector {
    using type = __m128d;
};

struct Sse2 : LibmvecCalls<Sse2Vector> {
    using LibmvecCalls::LibmvecCalls;
    using V = __m128d;
    static constexpr std::size_t lanes = 2;
    static V load(const double* p) noexcept { return _mm_loadu_pd(p); }
    static void store(double* p, V v) noexcept { _mm_storeu_pd(p, v); }
    // The first value (count is 1 here) and a zero; through memcpy, as the
    // caller's pointer may be misaligned.
    static V load_first(const double* p, std::size_t) noexcept {
        double first;
        std::memcpy(&first, p, sizeof first);
        return _mm_set_sd(first);
    }
    static V splat(double x) noexcept { return _mm_set1_pd(x); }
    static V add(V x, V y) noexcept { return _mm_add_pd(x, y); }
    static V sub(V x, V y) noexcept { return _mm_sub_pd(x, y); }
    static V mul(V x, V y) noexcept { return _mm_mul_pd(x, y); }
    static V div(V x, V y) noexcept { return _mm_div_pd(x, y); }
    static V sqrt(V x) noexcept { return _mm_sqrt_pd(x); }
    // Ordered compares: false for NaN, which therefore stays.
    static V select(V mask, V yes, V no) noexcept {
        return _mm_or_pd(_mm_and_pd(mask, yes), _mm_andnot_pd(mask, no));
    }
    static V at_most_one(V h) noexcept {
        const V one = _mm_set1_pd(1.0);
        return select(_mm_cmpgt_pd(h, one), one, h);
    }
    static V clamp_unit(V x) noexcept {
        const V minus_one = _mm_set1_pd(-1.0);
        return select(_mm_cmplt_pd(x, minus_one), minus_one, at_most_one(x));
    }
};

}  // namespace

void distance_sse2(const double* lat1, const double* lon1, const double* lat2, const double* lon2,
                   double* out, std::size_t n, double radius) noexcept {
    distance_run(vector_ops<Sse2>(), lat1, lon1, lat2, lon2, out, n, radius);
}

void destination_sse2(const double* lat1, const double* lon1, const double* bearing,
                      const double* distance, double* lat2, double* lon2, std::size_t n,
                      double radius) noexcept {
    destination_run(vector_ops<Sse2>(), destination_exact, lat1, lon1, bearing, distance, lat2, lon2, n, radius);
}

}  // namespace orvik::core::kernels

#endif
