// The per-instruction-set kernels behind core/great_circle_kernel.hpp.  Each
// may run only on a CPU with its instruction set, and only where libmvec has
// the functions it calls; the dispatcher checks both.
#pragma once

#include <cstddef>

#include "core/vector_math.hpp"

namespace orvik::core::kernels {

// Every lane through the C library's scalar sin, cos, asin and atan2: the
// reference formulas themselves, and the fallback wherever no vector math
// library is at hand.
void distance_portable(const double* lat1, const double* lon1, const double* lat2,
                       const double* lon2, double* out, std::size_t n, double radius) noexcept;
void destination_portable(const double* lat1, const double* lon1, const double* bearing,
                          const double* distance, double* lat2, double* lon2, std::size_t n,
                          double radius) noexcept;

// One destination through scalar libm: what the vector kernels fall back to
// where their own arithmetic would lose accuracy.
void destination_exact(double lat1, double lon1, double bearing, double distance, double radius,
                       double& lat2, double& lon2) noexcept;

#if defined(ORVIK_VECTOR_MATH_X86)
#define ORVIK_DECLARE_KERNELS(set)                                                                  \
    void distance_##set(const double* lat1, const double* lon1, const double* lat2,                 \
                        const double* lon2, double* out, std::size_t n, double radius) noexcept;    \
    void destination_##set(const double* lat1, const double* lon1, const double* bearing,           \
                           const double* distance, double* lat2, double* lon2, std::size_t n,       \
                           double radius) noexcept;
ORVIK_DECLARE_KERNELS(sse2)
ORVIK_DECLARE_KERNELS(avx2)
ORVIK_DECLARE_KERNELS(avx512)
#undef ORVIK_DECLARE_KERNELS
#endif

}  // namespace orvik::core::kernels
