// The great-circle formulas written once over a vector of points, for the
// kernels of each instruction set.  Only those translation units include
// this, each compiled for its own instruction set; everything here has
// internal linkage, so code built for a wide unit can never stand in for
// another's.
#pragma once

#include <cstddef>
#include <cstring>

#include "core/constants.hpp"
#include "core/vector_math.hpp"

namespace orvik::core {
namespace {

// The vector sin, cos, asin and atan2 of one instruction set's kernels:
// libmvec's entry points for vectors of type Vector::type.  (The vector type
// comes wrapped: GCC drops a vector type's attributes when it is passed as a
// template argument itself.)
template <class Vector>
class LibmvecCalls {
public:
    using V = typename Vector::type;
    using Unary = V (*)(V);
    using Binary = V (*)(V, V);

    explicit LibmvecCalls(const VectorMath& m) noexcept
        : sin_(reinterpret_cast<Unary>(m.sin)), cos_(reinterpret_cast<Unary>(m.cos)),
          asin_(reinterpret_cast<Unary>(m.asin)), atan2_(reinterpret_cast<Binary>(m.atan2)) {}
    V sin(V x) const noexcept { return sin_(x); }
    V cos(V x) const noexcept { return cos_(x); }
    V asin(V x) const noexcept { return asin_(x); }
    V atan2(V y, V x) const noexcept { return atan2_(y, x); }

private:
    Unary sin_, cos_, asin_;
    Binary atan2_;
};

// The one instance of a vector kernel's operations; only called once the
// dispatcher has found libmvec's functions for its width.
template <class Ops>
const Ops& vector_ops() noexcept {
    static const Ops instance(*vector_math(Ops::lanes));
    return instance;
}

// `Ops` is a vector of `Ops::lanes` doubles with unaligned load and store,
// load_first (the first `count` values, zeros in the other lanes),
// splat, add, sub, mul, div, sqrt (correctly rounded), at_most_one
// (h > 1 ? 1 : h, keeping NaN), clamp_unit (into [-1, 1], keeping NaN), and
// sin, cos, asin and atan2 of every lane.  Each lane's result depends on that
// lane's inputs alone.
//
// The operation order is the scalar formulas', step for step: differences,
// conversions and products are rounded in the same places, and nothing is
// contracted into fused multiply-adds, so the results differ from scalar libm
// only where the vector sin, cos, asin and atan2 do.
template <class Ops>
inline typename Ops::V haversine_lanes(const Ops& ops, typename Ops::V lat1, typename Ops::V lon1,
                                       typename Ops::V lat2, typename Ops::V lon2,
                                       typename Ops::V radius) noexcept {
    using V = typename Ops::V;
    const V k = Ops::splat(DEG_TO_RAD);
    const V half = Ops::splat(0.5);
    const V dlon = Ops::mul(Ops::sub(lon2, lon1), k);
    const V phi1 = Ops::mul(lat1, k);
    const V phi2 = Ops::mul(lat2, k);
    const V dphi = Ops::sub(phi2, phi1);
    const V s = ops.sin(Ops::mul(dphi, half));
    const V a = Ops::mul(s, s);
    const V q = Ops::mul(ops.cos(phi1), ops.cos(phi2));
    const V t = ops.sin(Ops::mul(dlon, half));
    const V b = Ops::mul(q, Ops::mul(t, t));
    const V h = Ops::add(a, b);
    // Rounding can carry h just past 1 at antipodes; the arcsine would make
    // that NaN.
    const V c = ops.asin(Ops::sqrt(Ops::at_most_one(h)));
    return Ops::mul(Ops::add(c, c), radius);
}

// The destination from (lat1, lon1) along `bearing` after `distance`, in
// degrees; longitudes are not wrapped.  `start_sine` and `end_sine` receive
// the sines of the start's and the destination's latitudes.
template <class Ops>
inline void destination_lanes(const Ops& ops, typename Ops::V lat1, typename Ops::V lon1,
                              typename Ops::V bearing, typename Ops::V distance,
                              typename Ops::V radius, typename Ops::V& lat2, typename Ops::V& lon2,
                              typename Ops::V& start_sine, typename Ops::V& end_sine) noexcept {
    using V = typename Ops::V;
    const V k = Ops::splat(DEG_TO_RAD);
    const V delta = Ops::div(distance, radius);
    const V phi1 = Ops::mul(lat1, k);
    const V lambda1 = Ops::mul(lon1, k);
    const V theta = Ops::mul(bearing, k);
    const V sin_phi1 = ops.sin(phi1), cos_phi1 = ops.cos(phi1);
    const V sin_delta = ops.sin(delta), cos_delta = ops.cos(delta);
    const V sin_theta = ops.sin(theta), cos_theta = ops.cos(theta);
    const V x = Ops::add(Ops::mul(sin_phi1, cos_delta), Ops::mul(cos_theta, Ops::mul(cos_phi1, sin_delta)));
    // Rounding can carry x just past 1 for a destination exactly at a pole;
    // the arcsine would make that NaN.
    const V phi2 = ops.asin(Ops::clamp_unit(x));
    const V y = Ops::mul(cos_phi1, Ops::mul(sin_theta, sin_delta));
    const V z = Ops::sub(cos_delta, Ops::mul(sin_phi1, ops.sin(phi2)));
    const V lambda2 = Ops::add(lambda1, ops.atan2(y, z));
    const V d = Ops::splat(RAD_TO_DEG);
    lat2 = Ops::mul(phi2, d);
    lon2 = Ops::mul(lambda2, d);
    start_sine = sin_phi1;
    end_sine = x;
}

// Runs `formula` over n points, W at a time and in order: full vectors
// straight from the columns, then the last n % lanes points through the same
// vector code with zeros in the unused lanes, so a point's result never
// depends on where in an array it sits.
// formula(const V (&in)[In], V (&out)[Out], std::size_t used): only the first
// `used` lanes hold points; the rest are padding whose results are dropped.
template <class Ops, std::size_t In, std::size_t Out, class Formula>
void run_lanes(const double* const (&in)[In], double* const (&out)[Out], std::size_t n,
               Formula&& formula) noexcept {
    using V = typename Ops::V;
    constexpr std::size_t W = Ops::lanes;
    V x[In], y[Out];
    std::size_t i = 0;
    for (; i + W <= n; i += W) {
        for (std::size_t k = 0; k < In; ++k) x[k] = Ops::load(in[k] + i);
        formula(x, y, W);
        for (std::size_t k = 0; k < Out; ++k) Ops::store(out[k] + i, y[k]);
    }
    const std::size_t rest = n - i;
    if (rest == 0) return;
    // Zeros in the unused lanes (an ordinary argument for every function),
    // loaded without touching memory past the columns.  A lone point, the
    // common case of a function of numbers, takes this path, so it avoids
    // copying through memory a wide load would then have to wait for.
    for (std::size_t k = 0; k < In; ++k) x[k] = Ops::load_first(in[k] + i, rest);
    formula(x, y, rest);
    double block[W];
    for (std::size_t k = 0; k < Out; ++k) {
        Ops::store(block, y[k]);
        for (std::size_t j = 0; j < rest; ++j) std::memcpy(out[k] + i + j, block + j, sizeof(double));
    }
}

// The two kernels of one instruction set, over contiguous columns.
template <class Ops>
void distance_run(const Ops& ops, const double* lat1, const double* lon1, const double* lat2,
                  const double* lon2, double* out, std::size_t n, double radius) noexcept {
    using V = typename Ops::V;
    const V r = Ops::splat(radius);
    const double* const in[4] = {lat1, lon1, lat2, lon2};
    double* const outs[1] = {out};
    run_lanes<Ops>(in, outs, n, [&](const V (&x)[4], V (&y)[1], std::size_t) {
        y[0] = haversine_lanes(ops, x[0], x[1], x[2], x[3], r);
    });
}

// Within some 0.8 degrees of a pole the formula is ill-conditioned: for a
// destination there the arcsine turns a last-bit difference of the vector
// sine or cosine into up to a micro-degree of latitude, and from a start
// there the longitude comes from the difference of two nearly equal terms.
// Such lanes, and a distance of zero (the start point itself), are computed
// again by `exact`, the formula with scalar libm.
inline constexpr double ill_conditioned_sine = 0.9999;

inline bool needs_exact(double start_sine, double end_sine, double distance) noexcept {
    const auto near_pole = [](double s) { return s > ill_conditioned_sine || s < -ill_conditioned_sine; };
    return near_pole(start_sine) || near_pole(end_sine) || distance == 0.0;
}

template <class Ops, class Exact>
void destination_run(const Ops& ops, const Exact& exact, const double* lat1, const double* lon1,
                     const double* bearing, const double* distance, double* lat2, double* lon2,
                     std::size_t n, double radius) noexcept {
    using V = typename Ops::V;
    constexpr std::size_t W = Ops::lanes;
    const V r = Ops::splat(radius);
    const double* const in[4] = {lat1, lon1, bearing, distance};
    double* const outs[2] = {lat2, lon2};
    // Padding lanes (zero distance) are never computed again: their results
    // are dropped.
    run_lanes<Ops>(in, outs, n, [&](const V (&v)[4], V (&y)[2], std::size_t used) {
        V start_sine, end_sine;
        destination_lanes(ops, v[0], v[1], v[2], v[3], r, y[0], y[1], start_sine, end_sine);
        double starts[W], ends[W], args[4][W], lat[W], lon[W];
        Ops::store(starts, start_sine);
        Ops::store(ends, end_sine);
        Ops::store(args[3], v[3]);
        bool redo = false;
        for (std::size_t j = 0; j < used; ++j) redo |= needs_exact(starts[j], ends[j], args[3][j]);
        if (!redo) return;
        for (std::size_t k = 0; k < 3; ++k) Ops::store(args[k], v[k]);
        Ops::store(lat, y[0]);
        Ops::store(lon, y[1]);
        for (std::size_t j = 0; j < used; ++j) {
            if (needs_exact(starts[j], ends[j], args[3][j])) {
                exact(args[0][j], args[1][j], args[2][j], args[3][j], radius, lat[j], lon[j]);
            }
        }
        y[0] = Ops::load(lat);
        y[1] = Ops::load(lon);
    });
}

}  // namespace
}  // namespace orvik::core
