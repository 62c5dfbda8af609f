// The haversine distance over many points at once, several points per vector
// instruction.  Every distance this library computes, one point or a million,
// goes through the same routine, picked once per process for the widest
// vector unit of the CPU, so that a point's distance is the same bit pattern
// whether it was computed alone or at any position of any array.
#pragma once

#include <cstddef>
#include <span>

#include "core/constants.hpp"
#include "core/strided.hpp"

namespace orvik::core {

// out[i] = great-circle distance of (lat1[i], lon1[i]) and (lat2[i], lon2[i])
// on a sphere of the given radius, for i in [0, n): degrees in, metres out.
// The pointers need no particular alignment (not even to 8 bytes); `out` may
// be one of the inputs but must not partially overlap one.
void great_circle_distance_n(const double* lat1, const double* lon1, const double* lat2,
                             const double* lon2, double* out, std::size_t n,
                             double radius = EARTH_RADIUS_M) noexcept;

// The same over strided columns.  Results are bit-identical to those of the
// contiguous call for the same values: other layouts are gathered into
// contiguous blocks first.
void great_circle_distance_strided(StridedIn lat1, StridedIn lon1, StridedIn lat2, StridedIn lon2,
                                   StridedOut out, std::size_t n,
                                   double radius = EARTH_RADIUS_M) noexcept;

// One implementation of the contiguous routine above.
using GreatCircleKernelFn = void (*)(const double*, const double*, const double*, const double*,
                                     double*, std::size_t, double) noexcept;

struct GreatCircleKernel {
    const char* name;   // "avx512", "avx2", "sse2" or "portable"
    std::size_t lanes;  // points per vector instruction
    GreatCircleKernelFn run;
};

// The implementations this build carries that the running CPU can execute,
// widest first.  The first one is the one every distance goes through.
std::span<const GreatCircleKernel> usable_great_circle_kernels() noexcept;

// The implementation every distance goes through in this process.
const GreatCircleKernel& active_great_circle_kernel() noexcept;

}  // namespace orvik::core
