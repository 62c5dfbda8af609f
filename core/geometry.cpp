#include "core/geometry.hpp"

#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvik::core {
namespace {

using GeographicLib::Math;
using Mask = GeographicLib::Geodesic::mask;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// The crossing is found to well under a nanometre along the edge.
constexpr double crossing_tolerance_m = 1e-10;
constexpr int crossing_iterations = 200;

}  // namespace

// --- densifying edges --------------------------------------------------------------

std::int64_t pieces_of_edge(double length, double max_length, std::int64_t cap) noexcept {
    if (!(length > max_length)) return 1;  // short enough, or no length at all
    double pieces = std::ceil(length / max_length);
    // The quotient may round down by an ulp; no piece may exceed the maximum.
    if (length / pieces > max_length) pieces += 1;
    if (!(pieces < static_cast<double>(cap))) return cap;
    return static_cast<std::int64_t>(pieces);
}

EdgePlan plan_edge(const Geodesic& g, double lat1, double lon1, double lat2, double lon2,
                   double max_length, std::int64_t cap) noexcept {
    EdgePlan plan{0.0, 0.0, 1};
    double azi2 = 0;
    g.solver().Inverse(lat1, lon1, lat2, lon2, plan.length, plan.azimuth, azi2);
    plan.pieces = pieces_of_edge(plan.length, max_length, cap);
    return plan;
}

void fill_edge(const Geodesic& g, double lat1, double lon1, const EdgePlan& plan, StridedOut lat,
               StridedOut lon) noexcept {
    if (plan.pieces <= 1) return;
    // From the start's azimuth rather than a second inverse problem: the
    // azimuth's rounding moves a point by well under a nanometre.
    const GeographicLib::GeodesicLine line =
        g.solver().Line(lat1, lon1, plan.azimuth, Mask::LATITUDE | Mask::LONGITUDE | Mask::DISTANCE_IN);
    const auto pieces = static_cast<double>(plan.pieces);
    for (std::int64_t k = 1; k < plan.pieces; ++k) {
        double lat_k = nan, lon_k = nan;
        line.Position(plan.length * (static_cast<double>(k) / pieces), lat_k, lon_k);
        const auto at = static_cast<std::size_t>(k - 1);
        lat.set(at, lat_k);
        lon.set(at, lon_k);
    }
}

// --- the antimeridian --------------------------------------------------------------

double meridian_crossing(const Geodesic& g, double lat1, double lon1, double lat2, double lon2,
                         double meridian) noexcept {
    double fa = lon1 - meridian, fb = lon2 - meridian;
    if (fa == 0) return lat1;
    if (fb == 0) return lat2;
    const GeographicLib::GeodesicLine line =
        g.solver().InverseLine(lat1, lon1, lat2, lon2, Mask::LATITUDE | Mask::LONGITUDE | Mask::DISTANCE_IN);
    // The longitude along the edge, unrolled from lon1, is monotonic over an
    // edge that passes no pole: regula falsi with the Illinois step, which
    // keeps the root bracketed and converges fast.
    double a = 0, b = line.Distance();
    double lat = nan;
    int kept = 0;  // which end stayed put last time: -1 a, +1 b
    for (int i = 0; i < crossing_iterations; ++i) {
        double s = (a * fb - b * fa) / (fb - fa);
        if (!(s > a && s < b)) s = 0.5 * (a + b);
        double lon = nan, unused = 0;
        line.GenPosition(false, s, Mask::LATITUDE | Mask::LONGITUDE | Mask::LONG_UNROLL, lat, lon, unused,
                         unused, unused, unused, unused, unused);
        const double f = lon - meridian;
        if (f == 0 || b - a < crossing_tolerance_m) break;
        if ((f > 0) == (fb > 0)) {
            b = s;
            fb = f;
            if (kept == -1) fa /= 2;
            kept = -1;
        } else {
            a = s;
            fa = f;
            if (kept == +1) fb /= 2;
            kept = +1;
        }
    }
    return lat;
}

// --- geodesic circles --------------------------------------------------------------

CircleMaker::CircleMaker(const Geodesic& g, std::size_t n, bool unroll)
    : g_(g), n_(n), unroll_(unroll), lat_(n), lon_(n), reduced_(n) {
    cut_lat_.reserve(n + 2);
    cut_lon_.reserve(n + 2);
    side_.reserve(n + 2);
}

void CircleMaker::vertices(double lat, double lon0, double radius) {
    // A circle is symmetric about its centre's meridian: the vertex at
    // azimuth -a mirrors the one at +a, so half of them are solved.
    const std::size_t half = n_ / 2;
    const auto n = static_cast<double>(n_);
    for (std::size_t k = 0; k <= half; ++k) {
        const double azimuth = 360.0 * static_cast<double>(k) / n;
        // Along the meridian the longitude does not change (or changes by
        // 180 over a pole): exactly so without unrolling.
        const bool meridian = k == 0 || 2 * k == n_;
        const unsigned mask = Mask::LATITUDE | Mask::LONGITUDE | (meridian ? 0U : unsigned{Mask::LONG_UNROLL});
        double lat_k = nan, dlon = nan, unused = 0;
        g_.solver().GenDirect(lat, 0.0, azimuth, false, radius, mask, lat_k, dlon, unused, unused, unused, unused,
                              unused, unused);
        // Vertex k lies at azimuth -360 k / n (counter-clockwise order).
        lat_[k] = lat_k;
        lon_[k] = lon0 - dlon;
        if (k != 0 && n_ - k != k) {
            lat_[n_ - k] = lat_k;
            lon_[n_ - k] = lon0 + dlon;
        }
    }
}

CircleOutline CircleMaker::draw(double lat, double lon, double radius, StridedOut lat_out,
                                StridedOut lon_out) {
    if (!(std::fabs(lat) <= 90) || !std::isfinite(lon) || !std::isfinite(radius) || radius < 0) {
        return {CircleShape::missing, {0, 0}};
    }
    if (radius == 0) return {CircleShape::empty, {0, 0}};
    // Both poles inside needs a radius beyond the quarter meridian, which a
    // pole is never further than from the nearer one.
    const double a = g_.solver().EquatorialRadius(), b = a * (1 - g_.solver().Flattening());
    const double quarter = std::min(a, b) * Math::pi() / 2;
    if (radius > quarter) {
        double to_north = 0, to_south = 0;
        g_.solver().Inverse(lat, 0, 90, 0, to_north);
        g_.solver().Inverse(lat, 0, -90, 0, to_south);
        if (radius > to_north && radius > to_south) return {CircleShape::both_poles, {0, 0}};
    }
    const double lon0 = Math::AngNormalize(lon);
    vertices(lat, lon0, radius);
    // The turns of the ring's geodesic edges around the pole: 0 unless the
    // polygon they bound contains one, +360 for the north (the ring runs
    // east around it), -360 for the south.  An edge spans less than 180
    // degrees of longitude, and the vertices' longitudes lie within 360 of
    // each other, so one wrap makes each step that edge's own.
    double winding = 0;
    bool continuous = true;
    for (std::size_t j = 0; j < n_; ++j) {
        double step = lon_[(j + 1) % n_] - lon_[j];
        if (step > 180) {
            step -= 360;
            continuous = false;
        } else if (step < -180) {
            step += 360;
            continuous = false;
        }
        winding += step;
    }
    if (winding > 180) return cap(true, lat_out, lon_out);
    if (winding < -180) return cap(false, lat_out, lon_out);
    if (!continuous) {
        // A vertex went over a pole that the polygon does not contain:
        // longitudes continuous along the ring instead of from the centre.
        for (std::size_t j = 1; j < n_; ++j) lon_[j] = lon_[j - 1] + Math::AngDiff(lon_[j - 1], lon_[j]);
        const auto [low, high] = std::minmax_element(lon_.begin(), lon_.end());
        const double shift = -360 * std::round((*low + *high) / 720);
        for (double& x : lon_) x += shift;
    }
    const auto [low, high] = std::minmax_element(lon_.begin(), lon_.end());
    if (unroll_ || (*high <= 180 && *low >= -180)) return polygon(lat_out, lon_out);
    return split(*high > 180 ? 180.0 : -180.0, lat_out, lon_out);
}

CircleOutline CircleMaker::polygon(StridedOut lat_out, StridedOut lon_out) const noexcept {
    for (std::size_t j = 0; j <= n_; ++j) {
        lat_out.set(j, lat_[j % n_]);
        lon_out.set(j, lon_[j % n_]);
    }
    return {CircleShape::polygon, {n_ + 1, 0}};
}

CircleOutline CircleMaker::split(double meridian, StridedOut lat_out, StridedOut lon_out) {
    const auto side_of = [meridian](double lon) { return lon > meridian ? 1 : (lon < meridian ? -1 : 0); };
    cut_lat_.clear();
    cut_lon_.clear();
    side_.clear();
    for (std::size_t j = 0; j < n_; ++j) {
        const std::size_t k = (j + 1) % n_;
        cut_lat_.push_back(lat_[j]);
        cut_lon_.push_back(lon_[j]);
        side_.push_back(side_of(lon_[j]));
        if (side_of(lon_[j]) * side_of(lon_[k]) < 0) {
            cut_lat_.push_back(meridian_crossing(g_, lat_[j], lon_[j], lat_[k], lon_[k], meridian));
            cut_lon_.push_back(meridian);
            side_.push_back(0);
        }
    }
    // A circle around no pole is convex: one run of vertices beyond the
    // meridian, entered and left at a point on it.
    const std::size_t m = side_.size();
    std::size_t begin = m;
    for (std::size_t i = 0; i < m && begin == m; ++i) {
        if (side_[i] > 0 && side_[(i + m - 1) % m] <= 0) begin = i;
    }
    if (begin == m) return polygon(lat_out, lon_out);
    std::size_t run = 0;
    while (run < m && side_[(begin + run) % m] > 0) ++run;
    for (std::size_t i = run; i < m; ++i) {
        if (side_[(begin + i) % m] > 0) return polygon(lat_out, lon_out);
    }
    // Ring 0 stays in [-180, 180]; ring 1 is the part beyond, brought back.
    const double east_shift = meridian > 0 ? -360.0 : 0.0;
    const double west_shift = meridian > 0 ? 0.0 : 360.0;
    std::size_t at = 0;
    const auto put_ring = [&](std::size_t first, std::size_t count, double shift) {
        for (std::size_t i = 0; i <= count; ++i) {
            const std::size_t v = (first + (i == count ? 0 : i)) % m;
            lat_out.set(at, cut_lat_[v]);
            lon_out.set(at, cut_lon_[v] + shift);
            ++at;
        }
        return count + 1;
    };
    const std::size_t before = (begin + m - 1) % m, after = (begin + run) % m;
    // West of the meridian: from the point where the ring leaves the east
    // back round to where it enters it; east: the run between those points.
    const std::size_t west = put_ring(after, m - run, west_shift);
    const std::size_t east = put_ring(before, run + 2, east_shift);
    return {CircleShape::split, {west, east}};
}

CircleOutline CircleMaker::cap(bool north, StridedOut lat_out, StridedOut lon_out) {
    for (std::size_t j = 0; j < n_; ++j) reduced_[j] = Math::AngNormalize(lon_[j]);
    // Longitudes in [-180, 180) around the north pole, where the ring runs
    // east, and in (-180, 180] around the south, where it runs west: then it
    // wraps on one edge, where it crosses the antimeridian.
    const double start = north ? -180.0 : 180.0;
    const auto norm = [start](double lon) { return lon == -start ? start : lon; };
    std::size_t wrap = n_, wraps = 0;
    for (std::size_t j = 0; j < n_; ++j) {
        const double a = norm(reduced_[j]), b = norm(reduced_[(j + 1) % n_]);
        if (north ? b < a : b > a) {
            wrap = j;
            ++wraps;
        }
    }
    if (wraps != 1) return polygon(lat_out, lon_out);
    const std::size_t first = (wrap + 1) % n_;
    const bool on_meridian = norm(reduced_[first]) == start;
    const double crossing =
        on_meridian ? lat_[first]
                    : meridian_crossing(g_, lat_[wrap], norm(reduced_[wrap]), lat_[first],
                                        norm(reduced_[first]) - 2 * start, -start);
    std::size_t at = 0;
    const auto put = [&](double lat, double lon) {
        lat_out.set(at, lat);
        lon_out.set(at, lon);
        ++at;
    };
    if (!on_meridian) put(crossing, start);
    for (std::size_t i = 0; i < n_; ++i) {
        const std::size_t v = (first + i) % n_;
        put(lat_[v], norm(reduced_[v]));
    }
    const double pole = north ? 90.0 : -90.0;
    put(crossing, -start);
    put(pole, -start);
    put(pole, start);
    put(crossing, start);
    return {CircleShape::cap, {at, 0}};
}

}  // namespace orvik::core
