#include "core/geodesic_lines.hpp"

#include <GeographicLib/Accumulator.hpp>
#include <GeographicLib/Math.hpp>
#include <GeographicLib/PolygonArea.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvik::core {
namespace {

using Mask = GeographicLib::Geodesic::mask;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

}  // namespace

GeodesicPath::GeodesicPath(const Geodesic& g, double lat1, double lon1, double lat2, double lon2) noexcept
    : line_(g.solver().InverseLine(lat1, lon1, lat2, lon2, Mask::LATITUDE | Mask::LONGITUDE | Mask::DISTANCE_IN)) {}

#if ORVIK_HAVE_RHUMB
RhumbPath::Course RhumbPath::course_of(const Rhumb& r, double lat1, double lon1, double lat2, double lon2) noexcept {
    Course c{r.distance(lat1, lon1, lat2, lon2), nan};
    if (std::isfinite(c.length)) {
        double unused = 0;
        r.solver().GenInverse(lat1, lon1, lat2, lon2, GeographicLib::Rhumb::AZIMUTH, unused, c.azimuth, unused);
    }
    return c;
}

RhumbPath::RhumbPath(const Rhumb& r, double lat1, double lon1, double lat2, double lon2) noexcept
    : RhumbPath(r, lat1, lon1, lon2, course_of(r, lat1, lon1, lat2, lon2)) {}

RhumbPath::RhumbPath(const Rhumb& r, double lat1, double lon1, double lon2, Course course) noexcept
    : length_(course.length),
      line_(r.solver().Line(lat1, lon1, course.azimuth)),
      from_pole_(std::fabs(lat1) == 90),
      meridian_(GeographicLib::Math::AngNormalize(lon2)) {}
#endif

template <class Path>
template <class Solver>
LinePoints<Path>::LinePoints(const Solver& solver, double lat1, double lon1, double lat2, double lon2,
                             std::size_t n, bool include_ends) noexcept
    : path_(solver, lat1, lon1, lat2, lon2),
      lat1_(lat1),
      lon1_(GeographicLib::Math::AngNormalize(lon1)),
      lat2_(lat2),
      lon2_(GeographicLib::Math::AngNormalize(lon2)),
      n_(n),
      include_ends_(include_ends) {
    // n points with both ends make n - 1 steps (one point, none: it is the
    // start); n interior points make n + 1.
    const std::size_t steps = include_ends ? (n > 1 ? n - 1 : 1) : n + 1;
    step_ = path_.length() / static_cast<double>(steps);
}

template <class Path>
void LinePoints<Path>::write(std::size_t first, std::size_t last, StridedOut lat, StridedOut lon) const noexcept {
    const bool valid = std::isfinite(path_.length());
    for (std::size_t j = first; j < last; ++j) {
        const std::size_t at = j - first;
        double lat_j = nan, lon_j = nan;
        if (!valid) {
            // A line that does not exist has no points, not even its ends.
        } else if (include_ends_ && j == 0) {
            lat_j = lat1_;
            lon_j = lon1_;
        } else if (include_ends_ && j + 1 == n_) {
            lat_j = lat2_;
            lon_j = lon2_;
        } else {
            const double k = static_cast<double>(include_ends_ ? j : j + 1);
            path_.position(k * step_, lat_j, lon_j);
        }
        lat.set(at, lat_j);
        lon.set(at, lon_j);
    }
}

template class LinePoints<GeodesicPath>;
template LinePoints<GeodesicPath>::LinePoints(const Geodesic&, double, double, double, double, std::size_t,
                                              bool) noexcept;
#if ORVIK_HAVE_RHUMB
template class LinePoints<RhumbPath>;
template LinePoints<RhumbPath>::LinePoints(const Rhumb&, double, double, double, double, std::size_t,
                                           bool) noexcept;
#endif

namespace {

// The edges' solvers behind one interface, for the templates below.
struct GeodesicEdges {
    using Polygon = GeographicLib::PolygonArea;
    const Geodesic& g;

    double distance(double lat1, double lon1, double lat2, double lon2) const noexcept {
        double s12 = 0, unused = 0;
        g.solver().GenInverse(lat1, lon1, lat2, lon2, Mask::DISTANCE, s12, unused, unused, unused, unused, unused,
                              unused);
        return s12;
    }
    Polygon polygon() const noexcept { return Polygon(g.solver()); }
    // A part of a ring the polygon can take; the geodesic gives NaN by
    // itself for points that are not.
    static bool valid(StridedIn, StridedIn, std::size_t, std::size_t) noexcept { return true; }
    double ellipsoid_area() const noexcept { return g.solver().EllipsoidArea(); }
};

#if ORVIK_HAVE_RHUMB
struct RhumbEdges {
    using Polygon = GeographicLib::PolygonAreaRhumb;
    const Rhumb& r;

    double distance(double lat1, double lon1, double lat2, double lon2) const noexcept {
        return r.distance(lat1, lon1, lat2, lon2);
    }
    Polygon polygon() const noexcept { return Polygon(r.solver()); }
    // Rhumb takes a latitude beyond 90 for an angle and gives a finite area:
    // such a ring is no ring.
    static bool valid(StridedIn lat, StridedIn lon, std::size_t first, std::size_t last) noexcept {
        for (std::size_t i = first; i < last; ++i) {
            if (!is_latitude(lat[i]) || !std::isfinite(lon[i])) return false;
        }
        return true;
    }
    double ellipsoid_area() const noexcept { return r.solver().EllipsoidArea(); }
};
#endif

// fn(the edges' solver).
template <class Fn>
auto with_edges(const Edges& edges, const Fn& fn) noexcept {
#if ORVIK_HAVE_RHUMB
    if (edges.rhumb() != nullptr) return fn(RhumbEdges{*edges.rhumb()});
#endif
    return fn(GeodesicEdges{*edges.geodesic()});
}

template <class E>
double polyline_length_of(const E& e, StridedIn lat, StridedIn lon, std::size_t first, std::size_t last) noexcept {
    GeographicLib::Accumulator<double> sum(0.0);
    if (first >= last) return sum();
    double lat_a = lat[first], lon_a = lon[first];
    for (std::size_t i = first; i < last; ++i) {
        const double lat_b = lat[i + 1], lon_b = lon[i + 1];
        sum += e.distance(lat_a, lon_a, lat_b, lon_b);
        lat_a = lat_b;
        lon_a = lon_b;
    }
    return sum();
}

template <class E>
RingMeasure ring_part_of(const E& e, StridedIn lat, StridedIn lon, std::size_t count, std::size_t part) noexcept {
    typename E::Polygon polygon = e.polygon();
    if (parts_of(count) == 1) {
        if (!E::valid(lat, lon, 0, count)) return {nan, nan};
        for (std::size_t i = 0; i < count; ++i) polygon.AddPoint(lat[i], lon[i]);
    } else {
        // Vertex `count` is the first again: the last part takes the
        // ring's closing edge.
        const std::size_t first = part * part_edges, last = std::min(first + part_edges, count);
        const bool closes = last == count;
        if (!E::valid(lat, lon, first, closes ? count : last + 1) || (closes && !E::valid(lat, lon, 0, 1))) {
            return {nan, nan};
        }
        for (std::size_t i = first; i <= last; ++i) {
            const std::size_t at = i == count ? 0 : i;
            polygon.AddPoint(lat[at], lon[at]);
        }
    }
    RingMeasure m{0.0, 0.0};
    // Not reversed: counter-clockwise is positive.  Signed: a clockwise ring
    // is negative rather than the rest of the ellipsoid.
    polygon.Compute(/*reverse=*/false, /*sign=*/true, m.perimeter, m.area);
    return m;
}

template <class E>
RingMeasure join_ring_parts_of(const E& e, StridedIn lat, StridedIn lon, std::size_t count,
                               const RingMeasure* parts) noexcept {
    const std::size_t n = parts_of(count);
    if (n == 1) return parts[0];
    // The chords, each run as its part's polygon ran it: from the part's
    // end to its start, so from the first vertex of part k + 1 (of part 0
    // after the last) to that of part k.
    typename E::Polygon chords = e.polygon();
    chords.AddPoint(lat[0], lon[0]);
    for (std::size_t part = n - 1; part > 0; --part) {
        chords.AddPoint(lat[part * part_edges], lon[part * part_edges]);
    }
    double chords_perimeter = 0, chords_area = 0;
    chords.Compute(false, true, chords_perimeter, chords_area);
    GeographicLib::Accumulator<double> area(0.0), perimeter(0.0);
    for (std::size_t part = 0; part < n; ++part) {
        area += parts[part].area;
        perimeter += parts[part].perimeter;
    }
    area -= chords_area;
    perimeter -= chords_perimeter;
    // Areas add up modulo the ellipsoid's; a signed area lies in
    // (-total/2, total/2], as PolygonArea gives it.
    const double total = e.ellipsoid_area();
    double reduced = std::remainder(area(), total);
    if (reduced <= -total / 2) reduced += total;
    return {reduced, perimeter()};
}

}  // namespace

double polyline_length(const Edges& edges, StridedIn lat, StridedIn lon, std::size_t first,
                       std::size_t last) noexcept {
    return with_edges(edges, [&](const auto& e) { return polyline_length_of(e, lat, lon, first, last); });
}

double track_part(const Edges& edges, StridedIn lat, StridedIn lon, std::size_t count, std::size_t part) noexcept {
    return with_edges(edges, [&](const auto& e) {
        if (count == 1) {
            // No edge, but a vertex that is not a point still makes the
            // length NaN: its distance to itself is 0 or NaN.
            return e.distance(lat[0], lon[0], lat[0], lon[0]);
        }
        const std::size_t edge_count = count > 0 ? count - 1 : 0;
        const std::size_t first = part * part_edges;
        return polyline_length_of(e, lat, lon, first, std::min(first + part_edges, edge_count));
    });
}

double join_track_parts(const double* parts, std::size_t count) noexcept {
    GeographicLib::Accumulator<double> sum(0.0);
    for (std::size_t i = 0; i < count; ++i) sum += parts[i];
    return sum();
}

RingMeasure ring_part(const Edges& edges, StridedIn lat, StridedIn lon, std::size_t count,
                      std::size_t part) noexcept {
    return with_edges(edges, [&](const auto& e) { return ring_part_of(e, lat, lon, count, part); });
}

RingMeasure join_ring_parts(const Edges& edges, StridedIn lat, StridedIn lon, std::size_t count,
                            const RingMeasure* parts) noexcept {
    return with_edges(edges, [&](const auto& e) { return join_ring_parts_of(e, lat, lon, count, parts); });
}

}  // namespace orvik::core
