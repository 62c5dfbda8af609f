#include "core/segment_distance.hpp"

#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/geodesic_bounds.hpp"

namespace orvik::core {
namespace {

using GeographicLib::Math;
using Mask = GeographicLib::Geodesic::mask;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr int max_steps = 40;
constexpr double last_step = 1e-3;  // metres
constexpr unsigned line_caps = Mask::LATITUDE | Mask::LONGITUDE | Mask::AZIMUTH | Mask::DISTANCE_IN;
constexpr unsigned probe_work = Mask::DISTANCE | Mask::AZIMUTH | Mask::REDUCEDLENGTH | Mask::GEODESICSCALE;

double dot(const Vec3& u, const Vec3& v) noexcept { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }

// The unit vector tangent to the surface at (lat, lon) towards `azi`.
Vec3 heading(double lat, double lon, double azi) noexcept {
    double sp, cp, sl, cl, sa, ca;
    Math::sincosd(lat, sp, cp);
    Math::sincosd(lon, sl, cl);
    Math::sincosd(azi, sa, ca);
    // east (-sl, cl, 0), north (-sp cl, -sp sl, cp)
    return {-sa * sl - ca * sp * cl, sa * cl - ca * sp * sl, ca * cp};
}

}  // namespace

ClosestPoint no_closest_point() noexcept { return {nan, nan, nan, nan, nan}; }

SegmentShape segment_shape(const GeographicLib::Geodesic& g, double lat1, double lon1, double lat2,
                           double lon2) noexcept {
    SegmentShape s{lat1, lon1, lat2, lon2, nan, nan, nan};
    double m12, M12, M21, S12;
    g.GenInverse(lat1, lon1, lat2, lon2, Mask::DISTANCE | Mask::AZIMUTH, s.length, s.azi1, s.azi2, m12, M12, M21,
                 S12);
    return s;
}

// One point of the segment and the geodesic from it to the given point.
struct GeodesicSegment::Probe {
    double t;                // along the segment, metres
    double lat, lon;         // the segment's point there
    double s;                // the distance from it to the given point
    double cos_g, sin_g;     // of the angle from the segment's direction to that geodesic
    double m12, M12;         // of that geodesic
};

GeodesicSegment::GeodesicSegment(const GeographicLib::Geodesic& g, const SegmentShape& shape) noexcept
    : g_(g),
      shape_(shape),
      line_(g.Line(shape.lat1, shape.lon1, shape.azi1, line_caps)),
      radius_(g.EquatorialRadius() * (1 - g.Flattening() / 3)) {}

GeodesicSegment::Probe GeodesicSegment::probe(double t, double lat, double lon, std::size_t* inverses) const noexcept {
    Probe p{t, nan, nan, nan, nan, nan, nan, nan};
    double azi;
    // The ends are the given points themselves.
    if (t == 0) {
        p.lat = shape_.lat1;
        p.lon = Math::AngNormalize(shape_.lon1);
        azi = shape_.azi1;
    } else if (t == shape_.length) {
        p.lat = shape_.lat2;
        p.lon = Math::AngNormalize(shape_.lon2);
        azi = shape_.azi2;
    } else {
        double s12, m12, M12, M21, S12;
        line_.GenPosition(false, t, Mask::LATITUDE | Mask::LONGITUDE | Mask::AZIMUTH, p.lat, p.lon, azi, s12, m12,
                          M12, M21, S12);
    }
    double azi_to, azi2, M21, S12;
    g_.GenInverse(p.lat, p.lon, lat, lon, probe_work, p.s, azi_to, azi2, p.m12, p.M12, M21, S12);
    if (inverses != nullptr) ++*inverses;
    Math::sincosd(Math::AngDiff(azi, azi_to), p.sin_g, p.cos_g);
    return p;
}

// Where the foot of the perpendicular would be on a sphere through the
// unit normals: the start of the iteration.
double GeodesicSegment::first_guess(double lat, double lon) const noexcept {
    const Vec3 a = unit_normal(shape_.lat1, shape_.lon1);
    const Vec3 d = heading(shape_.lat1, shape_.lon1, shape_.azi1);
    const Vec3 b = unit_normal(shape_.lat2, shape_.lon2);
    const Vec3 p = unit_normal(lat, lon);
    double to_end = std::atan2(dot(b, d), dot(b, a));
    if (to_end < 0) to_end += 2 * Math::pi();  // an end nearly opposite the start
    const double to_point = std::atan2(dot(p, d), dot(p, a));
    const double scale = to_end > 1e-12 ? shape_.length / to_end : radius_;
    return std::clamp(to_point * scale, 0.0, shape_.length);
}

ClosestPoint GeodesicSegment::closest(double lat, double lon, std::size_t* inverses) const noexcept {
    if (!(std::abs(lat) <= 90) || !std::isfinite(lon) || !(shape_.length >= 0)) return no_closest_point();
    return closest_from(lat, lon, first_guess(lat, lon), inverses);
}

ClosestPoint GeodesicSegment::closest_from(double lat, double lon, double start, std::size_t* inverses) const noexcept {
    const double length = shape_.length;
    if (!(std::abs(lat) <= 90) || !std::isfinite(lon) || !(length >= 0)) return no_closest_point();

    const double quarter = radius_ * Math::pi() / 2;
    Probe best{};
    best.s = inf;
    bool probed_start = false, probed_end = false;
    const auto look = [&](double t) {
        const Probe p = probe(t, lat, lon, inverses);
        probed_start = probed_start || t == 0;
        probed_end = probed_end || t == length;
        if (p.s < best.s || (p.s == best.s && p.t < best.t)) best = p;
        return p;
    };
    double t = std::isfinite(start) ? std::clamp(start, 0.0, length) : 0.0;
    bool settled = false;  // at a minimum of the distance, inside the segment or at an end
    for (int step = 0; step < max_steps; ++step) {
        const Probe p = look(t);
        if (!(p.s > 0)) {
            settled = p.s == 0;
            break;
        }
        // Newton's step while the distance is clearly convex here; the
        // spherical right triangle's otherwise.
        const double ratio = p.m12 != 0 ? p.M12 * p.s / p.m12 : 1.0;
        const double slope = p.cos_g * p.cos_g + ratio * p.sin_g * p.sin_g;
        const bool newton = slope > 0.1;
        double move;
        if (newton) {
            move = p.s * p.cos_g / slope;
        } else {
            const double arc = p.s / radius_;
            move = radius_ * std::atan2(std::sin(arc) * p.cos_g, std::cos(arc));
        }
        const double next = std::clamp(t + move, 0.0, length);
        const double change = next - t;
        if (!(std::abs(change) > 1e-9)) {
            settled = slope > 0;
            break;
        }
        if (newton && std::abs(change) <= last_step && next != 0 && next != length) {
            // Within a millimetre, Newton's step lands within far less than
            // a nanometre of the minimum: take it without another inverse
            // problem, the distance from the same quadratic.
            Probe done = p;
            done.t = next;
            double azi, s12, m12, M12, M21, S12;
            line_.GenPosition(false, next, Mask::LATITUDE | Mask::LONGITUDE, done.lat, done.lon, azi, s12, m12, M12,
                              M21, S12);
            done.s = p.s * std::sqrt(std::max(0.0, 1 - p.cos_g * p.cos_g / slope));
            if (done.s <= best.s) best = done;
            settled = true;
            break;
        }
        t = next;
    }
    if (!std::isfinite(best.s)) return no_closest_point();
    // A stationary point that may not be the nearest of the segment: far
    // away, on a long segment, or not converged.  The ends decide.
    if (!settled || best.s > quarter / 2 || length > quarter / 2) {
        if (!probed_start) look(0);
        if (!probed_end) look(length);
    }
    double side = best.sin_g > 0 ? -1.0 : best.sin_g < 0 ? 1.0 : 0.0;
    if (best.s == 0) side = 0.0;
    if (length == 0 && best.s != 0) side = nan;  // a point has no direction
    return {best.s, best.t, best.lat, best.lon, side};
}

}  // namespace orvik::core
