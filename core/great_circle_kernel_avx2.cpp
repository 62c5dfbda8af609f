// The great-circle kernels on AVX2: 4 points per instruction, with glibc's
// vector math library (libmvec).  Built with -mavx2; called only on CPUs
// that have it.
#if defined(__x86_64__) && defined(ORVIK_VECTOR_MATH_X86)

#include <immintrin.h>

#include "core/great_circle_kernel_variants.hpp"
#include "core/great_circle_lanes.hpp"

namespace orvik::core::kernels {
namespace {

struct Avx2Vector {
    using type = __m256d;
};

struct Avx2 : LibmvecCalls<Avx2Vector> {
    using LibmvecCalls::LibmvecCalls;
    using V = __m256d;
    static constexpr std::size_t lanes = 4;
    static V load(const double* p) noexcept { return _mm256_loadu_pd(p); }
    static void store(double* p, V v) noexcept { _mm256_storeu_pd(p, v); }
    // The first `count` (< 4) values and zeros; masked-off lanes are not read.
    static V load_first(const double* p, std::size_t count) noexcept {
        const __m256i lane = _mm256_setr_epi64x(0, 1, 2, 3);
        const __m256i mask = _mm256_cmpgt_epi64(_mm256_set1_epi64x(static_cast<long long>(count)), lane);
        return _mm256_maskload_pd(p, mask);
    }
    static V splat(double x) noexcept { return _mm256_set1_pd(x); }
    static V add(V x, V y) noexcept { return _mm256_add_pd(x, y); }
    static V sub(V x, V y) noexcept { return _mm256_sub_pd(x, y); }
    static V mul(V x, V y) noexcept { return _mm256_mul_pd(x, y); }
    static V div(V x, V y) noexcept { return _mm256_div_pd(x, y); }
    static V sqrt(V x) noexcept { return _mm256_sqrt_pd(x); }
    // Ordered compares: false for NaN, which therefore stays.
    static V at_most_one(V h) noexcept {
        const V one = _mm256_set1_pd(1.0);
        return _mm256_blendv_pd(h, one, _mm256_cmp_pd(h, one, _CMP_GT_OQ));
    }
    static V clamp_unit(V x) noexcept {
        const V minus_one = _mm256_set1_pd(-1.0);
        return _mm256_blendv_pd(at_most_one(x), minus_one, _mm256_cmp_pd(x, minus_one, _CMP_LT_OQ));
    }
};

}  // namespace

void distance_avx2(const double* lat1, const double* lon1, const double* lat2, const double* lon2,
                   double* out, std::size_t n, double radius) noexcept {
    distance_run(vector_ops<Avx2>(), lat1, lon1, lat2, lon2, out, n, radius);
}

void destination_avx2(const double* lat1, const double* lon1, const double* bearing,
                      const double* distance, double* lat2, double* lon2, std::size_t n,
                      double radius) noexcept {
    destination_run(vector_ops<Avx2>(), destination_exact, lat1, lon1, bearing, distance, lat2, lon2, n, radius);
}

}  // namespace orvik::core::kernels

#endif
