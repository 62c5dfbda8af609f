// The haversine kernel on AVX2: 4 points per instruction, with glibc's vector
// math library (libmvec).  Built with -mavx2; called only on CPUs that have it.
#if defined(__x86_64__) && defined(ORVIK_HAVE_LIBMVEC_X86)

#include <immintrin.h>

#include "core/great_circle_kernel_variants.hpp"
#include "core/great_circle_lanes.hpp"

// libmvec's AVX2 entry points, under the x86-64 vector function ABI.
extern "C" {
__m256d orvik_mvec_sin4(__m256d) noexcept __asm__("_ZGVdN4v_sin");
__m256d orvik_mvec_cos4(__m256d) noexcept __asm__("_ZGVdN4v_cos");
__m256d orvik_mvec_asin4(__m256d) noexcept __asm__("_ZGVdN4v_asin");
}

namespace orvik::core::kernels {
namespace {

struct Avx2 {
    using V = __m256d;
    static constexpr std::size_t lanes = 4;
    static V load(const double* p) noexcept { return _mm256_loadu_pd(p); }
    static void store(double* p, V v) noexcept { _mm256_storeu_pd(p, v); }
    static V splat(double x) noexcept { return _mm256_set1_pd(x); }
    static V add(V x, V y) noexcept { return _mm256_add_pd(x, y); }
    static V sub(V x, V y) noexcept { return _mm256_sub_pd(x, y); }
    static V mul(V x, V y) noexcept { return _mm256_mul_pd(x, y); }
    static V sqrt(V x) noexcept { return _mm256_sqrt_pd(x); }
    static V at_most_one(V h) noexcept {
        const V one = _mm256_set1_pd(1.0);
        // Ordered compare: false for NaN, which therefore stays.
        return _mm256_blendv_pd(h, one, _mm256_cmp_pd(h, one, _CMP_GT_OQ));
    }
    static V sin(V x) noexcept { return orvik_mvec_sin4(x); }
    static V cos(V x) noexcept { return orvik_mvec_cos4(x); }
    static V asin(V x) noexcept { return orvik_mvec_asin4(x); }
};

}  // namespace

void great_circle_avx2(const double* lat1, const double* lon1, const double* lat2,
                       const double* lon2, double* out, std::size_t n, double radius) noexcept {
    haversine_run<Avx2>(lat1, lon1, lat2, lon2, out, n, radius);
}

}  // namespace orvik::core::kernels

#endif
