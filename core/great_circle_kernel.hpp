// The great-circle formulas over many points at once, several points per
// vector instruction.  Every great-circle distance and destination this
// library computes, one point or a million, goes through the same routine,
// picked once per process for the widest vector unit of the CPU that the
// vector math library serves, so that a point's result is the same bit
// pattern whether it was computed alone or at any position of any array.
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

// (lat2[i], lon2[i]) = the destination from (lat1[i], lon1[i]) along
// bearing[i] (degrees clockwise from north) after distance[i] metres;
// longitudes are not wrapped.  Alignment and overlap as above.
void great_circle_destination_n(const double* lat1, const double* lon1, const double* bearing,
                                const double* distance, double* lat2, double* lon2, std::size_t n,
                                double radius = EARTH_RADIUS_M) noexcept;

void great_circle_destination_strided(StridedIn lat1, StridedIn lon1, StridedIn bearing,
                                      StridedIn distance, StridedOut lat2, StridedOut lon2,
                                      std::size_t n, double radius = EARTH_RADIUS_M) noexcept;

// One implementation of the contiguous routines above.
using DistanceKernelFn = void (*)(const double*, const double*, const double*, const double*,
                                  double*, std::size_t, double) noexcept;
using DestinationKernelFn = void (*)(const double*, const double*, const double*, const double*,
                                     double*, double*, std::size_t, double) noexcept;

struct GreatCircleKernel {
    const char* name;   // "avx512", "avx2", "sse2" or "portable"
    std::size_t lanes;  // points per vector instruction
    DistanceKernelFn distance;
    DestinationKernelFn destination;
};

// The implementations this build carries that the running CPU can execute
// and the vector math library serves, widest first.  The first one is the one
// every computation goes through.
std::span<const GreatCircleKernel> usable_great_circle_kernels() noexcept;

// The implementation every computation goes through in this process: the
// widest usable one, unless the environment variable below names another
// usable one when it is first needed.  Each implementation has its own last
// bits (the vector math library's variants differ), so naming one, "sse2" or
// "portable" say, makes great-circle results the same on machines whose
// widest vector units differ.
inline constexpr const char great_circle_kernel_variable[] = "ORVIK_GREAT_CIRCLE_KERNEL";
const GreatCircleKernel& active_great_circle_kernel() noexcept;

// The usable implementation of that name, else the widest.
const GreatCircleKernel& chosen_kernel(const char* name) noexcept;

}  // namespace orvik::core
