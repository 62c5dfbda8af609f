// The great-circle kernels on AVX-512: 8 points per instruction, with glibc's
// vector math library (libmvec).  Built with -mavx512f; called only on CPUs
// that have it.
#if defined(__x86_64__) && defined(ORVIK_VECTOR_MATH_X86)

#include <immintrin.h>

#include "core/great_circle_kernel_variants.hpp"
#include "core/great_circle_lanes.hpp"

namespace orvik::core::kernels {
namespace {

struct Avx512Vector {
    using type = __m512d;
};

struct Avx512 : LibmvecCalls<Avx512Vector> {
    using LibmvecCalls::LibmvecCalls;
    using V = __m512d;
    static constexpr std::size_t lanes = 8;
    static V load(const double* p) noexcept { return _mm512_loadu_pd(p); }
    static void store(double* p, V v) noexcept { _mm512_storeu_pd(p, v); }
    // The first `count` (< 8) values and zeros; masked-off lanes are not read.
    static V load_first(const double* p, std::size_t count) noexcept {
        return _mm512_maskz_loadu_pd(static_cast<__mmask8>((1u << count) - 1u), p);
    }
    static V splat(double x) noexcept { return _mm512_set1_pd(x); }
    static V add(V x, V y) noexcept { return _mm512_add_pd(x, y); }
    static V sub(V x, V y) noexcept { return _mm512_sub_pd(x, y); }
    static V mul(V x, V y) noexcept { return _mm512_mul_pd(x, y); }
    static V div(V x, V y) noexcept { return _mm512_div_pd(x, y); }
    // The masked form with every lane selected is the same instruction; the
    // plain one trips GCC 12's maybe-uninitialized warning on its
    // placeholder operand.
    static V sqrt(V x) noexcept { return _mm512_mask_sqrt_pd(x, 0xFF, x); }
    // Ordered compares: false for NaN, which therefore stays.
    static V at_most_one(V h) noexcept {
        const V one = _mm512_set1_pd(1.0);
        return _mm512_mask_blend_pd(_mm512_cmp_pd_mask(h, one, _CMP_GT_OQ), h, one);
    }
    static V clamp_unit(V x) noexcept {
        const V minus_one = _mm512_set1_pd(-1.0);
        return _mm512_mask_blend_pd(_mm512_cmp_pd_mask(x, minus_one, _CMP_LT_OQ), at_most_one(x),
                                    minus_one);
    }
};

}  // namespace

void distance_avx512(const double* lat1, const double* lon1, const double* lat2, const double* lon2,
                     double* out, std::size_t n, double radius) noexcept {
    distance_run(vector_ops<Avx512>(), lat1, lon1, lat2, lon2, out, n, radius);
}

void destination_avx512(const double* lat1, const double* lon1, const double* bearing,
                        const double* distance, double* lat2, double* lon2, std::size_t n,
                        double radius) noexcept {
    destination_run(vector_ops<Avx512>(), destination_exact, lat1, lon1, bearing, distance, lat2, lon2, n, radius);
}

}  // namespace orvik::core::kernels

#endif
