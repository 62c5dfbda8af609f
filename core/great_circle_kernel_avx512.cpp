// The haversine kernel on AVX-512: 8 points per instruction, with glibc's
// vector math library (libmvec).  Built with -mavx512f; called only on CPUs
// that have it.
#if defined(__x86_64__) && defined(ORVIK_HAVE_LIBMVEC_X86)

#include <immintrin.h>

#include "core/great_circle_kernel_variants.hpp"
#include "core/great_circle_lanes.hpp"

// libmvec's AVX-512 entry points, under the x86-64 vector function ABI.
extern "C" {
__m512d orvik_mvec_sin8(__m512d) noexcept __asm__("_ZGVeN8v_sin");
__m512d orvik_mvec_cos8(__m512d) noexcept __asm__("_ZGVeN8v_cos");
__m512d orvik_mvec_asin8(__m512d) noexcept __asm__("_ZGVeN8v_asin");
}

namespace orvik::core::kernels {
namespace {

struct Avx512 {
    using V = __m512d;
    static constexpr std::size_t lanes = 8;
    static V load(const double* p) noexcept { return _mm512_loadu_pd(p); }
    static void store(double* p, V v) noexcept { _mm512_storeu_pd(p, v); }
    static V splat(double x) noexcept { return _mm512_set1_pd(x); }
    static V add(V x, V y) noexcept { return _mm512_add_pd(x, y); }
    static V sub(V x, V y) noexcept { return _mm512_sub_pd(x, y); }
    static V mul(V x, V y) noexcept { return _mm512_mul_pd(x, y); }
    // The masked form with every lane selected is the same instruction; the
    // plain one trips GCC 12's maybe-uninitialized warning on its
    // placeholder operand.
    static V sqrt(V x) noexcept { return _mm512_mask_sqrt_pd(x, 0xFF, x); }
    static V at_most_one(V h) noexcept {
        const V one = _mm512_set1_pd(1.0);
        // Ordered compare: false for NaN, which therefore stays.
        return _mm512_mask_blend_pd(_mm512_cmp_pd_mask(h, one, _CMP_GT_OQ), h, one);
    }
    static V sin(V x) noexcept { return orvik_mvec_sin8(x); }
    static V cos(V x) noexcept { return orvik_mvec_cos8(x); }
    static V asin(V x) noexcept { return orvik_mvec_asin8(x); }
};

}  // namespace

void great_circle_avx512(const double* lat1, const double* lon1, const double* lat2,
                         const double* lon2, double* out, std::size_t n, double radius) noexcept {
    haversine_run<Avx512>(lat1, lon1, lat2, lon2, out, n, radius);
}

}  // namespace orvik::core::kernels

#endif
