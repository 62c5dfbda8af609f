// The haversine kernel on SSE2, which every x86-64 CPU has: 2 points per
// instruction, with glibc's vector math library (libmvec).
#if defined(__x86_64__) && defined(ORVIK_HAVE_LIBMVEC_X86)

#include <emmintrin.h>

#include "core/great_circle_kernel_variants.hpp"
#include "core/great_circle_lanes.hpp"

// libmvec's SSE entry points, under the x86-64 vector function ABI.
extern "C" {
__m128d orvik_mvec_sin2(__m128d) noexcept __asm__("_ZGVbN2v_sin");
__m128d orvik_mvec_cos2(__m128d) noexcept __asm__("_ZGVbN2v_cos");
__m128d orvik_mvec_asin2(__m128d) noexcept __asm__("_ZGVbN2v_asin");
}

namespace orvik::core::kernels {
namespace {

struct Sse2 {
    using V = __m128d;
    static constexpr std::size_t lanes = 2;
    static V load(const double* p) noexcept { return _mm_loadu_pd(p); }
    static void store(double* p, V v) noexcept { _mm_storeu_pd(p, v); }
    static V splat(double x) noexcept { return _mm_set1_pd(x); }
    static V add(V x, V y) noexcept { return _mm_add_pd(x, y); }
    static V sub(V x, V y) noexcept { return _mm_sub_pd(x, y); }
    static V mul(V x, V y) noexcept { return _mm_mul_pd(x, y); }
    static V sqrt(V x) noexcept { return _mm_sqrt_pd(x); }
    static V at_most_one(V h) noexcept {
        const V one = _mm_set1_pd(1.0);
        // Ordered compare: false for NaN, which therefore stays.
        const V above = _mm_cmpgt_pd(h, one);
        return _mm_or_pd(_mm_and_pd(above, one), _mm_andnot_pd(above, h));
    }
    static V sin(V x) noexcept { return orvik_mvec_sin2(x); }
    static V cos(V x) noexcept { return orvik_mvec_cos2(x); }
    static V asin(V x) noexcept { return orvik_mvec_asin2(x); }
};

}  // namespace

void great_circle_sse2(const double* lat1, const double* lon1, const double* lat2,
                       const double* lon2, double* out, std::size_t n, double radius) noexcept {
    haversine_run<Sse2>(lat1, lon1, lat2, lon2, out, n, radius);
}

}  // namespace orvik::core::kernels

#endif
