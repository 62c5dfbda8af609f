// The per-instruction-set kernels behind core/great_circle_kernel.hpp.  Each
// may run only on a CPU with its instruction set; the dispatcher checks.
#pragma once

#include <cstddef>

namespace orvik::core::kernels {

// Every lane through the C library's scalar sin, cos and asin: the reference
// formula itself, and the fallback wherever no vector math library is at hand.
void great_circle_portable(const double* lat1, const double* lon1, const double* lat2,
                           const double* lon2, double* out, std::size_t n, double radius) noexcept;

#if defined(ORVIK_HAVE_LIBMVEC_X86)
void great_circle_sse2(const double* lat1, const double* lon1, const double* lat2,
                       const double* lon2, double* out, std::size_t n, double radius) noexcept;
void great_circle_avx2(const double* lat1, const double* lon1, const double* lat2,
                       const double* lon2, double* out, std::size_t n, double radius) noexcept;
void great_circle_avx512(const double* lat1, const double* lon1, const double* lat2,
                         const double* lon2, double* out, std::size_t n, double radius) noexcept;
#endif

}  // namespace orvik::core::kernels
