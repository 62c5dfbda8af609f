// The haversine formula written once over a vector of points, for the kernels
// of each instruction set.  Only those translation units include this, each
// compiled for its own instruction set; everything here has internal linkage,
// so code built for a wide unit can never stand in for another's.
#pragma once

#include <cstddef>
#include <cstring>

#include "core/constants.hpp"

namespace orvik::core {
namespace {

// `Ops` is a vector of `Ops::lanes` doubles with unaligned load and store,
// splat, add, sub, mul, sqrt (correctly rounded), at_most_one (h > 1 ? 1 : h,
// keeping NaN), and sin, cos, asin of every lane.  Each lane's result depends
// on that lane's inputs alone.
//
// The operation order is the scalar formula's, step for step: differences,
// conversions and products are rounded in the same places, and nothing is
// contracted into fused multiply-adds, so the results differ from scalar libm
// only where the vector sin, cos and asin do.
template <class Ops>
inline typename Ops::V haversine_lanes(typename Ops::V lat1, typename Ops::V lon1,
                                       typename Ops::V lat2, typename Ops::V lon2,
                                       typename Ops::V radius) noexcept {
    using V = typename Ops::V;
    const V k = Ops::splat(DEG_TO_RAD);
    const V half = Ops::splat(0.5);
    const V dlon = Ops::mul(Ops::sub(lon2, lon1), k);
    const V phi1 = Ops::mul(lat1, k);
    const V phi2 = Ops::mul(lat2, k);
    const V dphi = Ops::sub(phi2, phi1);
    const V s = Ops::sin(Ops::mul(dphi, half));
    const V a = Ops::mul(s, s);
    const V q = Ops::mul(Ops::cos(phi1), Ops::cos(phi2));
    const V t = Ops::sin(Ops::mul(dlon, half));
    const V b = Ops::mul(q, Ops::mul(t, t));
    const V h = Ops::add(a, b);
    // Rounding can carry h just past 1 at antipodes; the arcsine would make
    // that NaN.
    const V c = Ops::asin(Ops::sqrt(Ops::at_most_one(h)));
    return Ops::mul(Ops::add(c, c), radius);
}

// Full vectors straight from the inputs, then the last n % lanes points
// through the same vector code from a zero-padded block, so a point's result
// never depends on where in an array it sits.
template <class Ops>
void haversine_run(const double* lat1, const double* lon1, const double* lat2, const double* lon2,
                   double* out, std::size_t n, double radius) noexcept {
    constexpr std::size_t W = Ops::lanes;
    const typename Ops::V r = Ops::splat(radius);
    std::size_t i = 0;
    for (; i + W <= n; i += W) {
        Ops::store(out + i, haversine_lanes<Ops>(Ops::load(lat1 + i), Ops::load(lon1 + i),
                                                 Ops::load(lat2 + i), Ops::load(lon2 + i), r));
    }
    const std::size_t rest = n - i;
    if (rest == 0) return;
    // Zeros in the unused lanes: an ordinary argument for every function.
    double block[5][W] = {};
    const std::size_t bytes = rest * sizeof(double);
    std::memcpy(block[0], lat1 + i, bytes);
    std::memcpy(block[1], lon1 + i, bytes);
    std::memcpy(block[2], lat2 + i, bytes);
    std::memcpy(block[3], lon2 + i, bytes);
    Ops::store(block[4], haversine_lanes<Ops>(Ops::load(block[0]), Ops::load(block[1]),
                                              Ops::load(block[2]), Ops::load(block[3]), r));
    std::memcpy(out + i, block[4], bytes);
}

}  // namespace
}  // namespace orvik::core
