#include "core/geodesic_lines.hpp"

#include "core/ring_area.hpp"

#include <GeographicLib/Accumulator.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvik::core {
namespace {

using Mask = GeographicLib::Geodesic::mask;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

}  // namespace

LinePoints::LinePoints(const Geodesic& g, double lat1, double lon1, double lat2, double lon2,
                       std::size_t n, bool include_ends) noexcept
    : line_(g.solver().InverseLine(lat1, lon1, lat2, lon2,
                                   Mask::LATITUDE | Mask::LONGITUDE | Mask::DISTANCE_IN)),
      lat1_(lat1),
      lon1_(GeographicLib::Math::AngNormalize(lon1)),
      lat2_(lat2),
      lon2_(GeographicLib::Math::AngNormalize(lon2)),
      n_(n),
      include_ends_(include_ends) {
    // n points with both ends make n - 1 steps (one point, none: it is the
    // start); n interior points make n + 1.
    const std::size_t steps = include_ends ? (n > 1 ? n - 1 : 1) : n + 1;
    step_ = line_.Distance() / static_cast<double>(steps);
}

void LinePoints::write(std::size_t first, std::size_t last, StridedOut lat, StridedOut lon) const noexcept {
    const bool valid = std::isfinite(line_.Distance());
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
            line_.Position(k * step_, lat_j, lon_j);
        }
        lat.set(at, lat_j);
        lon.set(at, lon_j);
    }
}

double polyline_length(const Geodesic& g, StridedIn lat, StridedIn lon, std::size_t first,
                       std::size_t last) noexcept {
    const GeographicLib::Geodesic& solver = g.solver();
    GeographicLib::Accumulator<double> sum(0.0);
    if (first >= last) return sum();
    double lat_a = lat[first], lon_a = lon[first];
    for (std::size_t i = first; i < last; ++i) {
        const double lat_b = lat[i + 1], lon_b = lon[i + 1];
        double s12 = 0, unused = 0;
        solver.GenInverse(lat_a, lon_a, lat_b, lon_b, Mask::DISTANCE, s12, unused, unused, unused,
                          unused, unused, unused);
        sum += s12;
        lat_a = lat_b;
        lon_a = lon_b;
    }
    return sum();
}

double track_part(const Geodesic& g, StridedIn lat, StridedIn lon, std::size_t count,
                  std::size_t part) noexcept {
    if (count == 1) {
        // No edge, but a vertex that is not a point still makes the length
        // NaN: its distance to itself is 0 or NaN.
        return g.inverse(lat[0], lon[0], lat[0], lon[0]).s12;
    }
    const std::size_t edges = count > 0 ? count - 1 : 0;
    const std::size_t first = part * part_edges;
    return polyline_length(g, lat, lon, first, std::min(first + part_edges, edges));
}

double join_track_parts(const double* parts, std::size_t count) noexcept {
    GeographicLib::Accumulator<double> sum(0.0);
    for (std::size_t i = 0; i < count; ++i) sum += parts[i];
    return sum();
}

RingMeasure ring_part(const Geodesic& g, StridedIn lat, StridedIn lon, std::size_t count,
                      std::size_t part, bool perimeter) noexcept {
    RingArea polygon(g.solver(), perimeter);
    if (parts_of(count) == 1) {
        for (std::size_t i = 0; i < count; ++i) polygon.add(lat[i], lon[i]);
    } else {
        // Vertex `count` is the first again: the last part takes the
        // ring's closing edge.
        const std::size_t first = part * part_edges, last = std::min(first + part_edges, count);
        for (std::size_t i = first; i <= last; ++i) {
            const std::size_t at = i == count ? 0 : i;
            polygon.add(lat[at], lon[at]);
        }
    }
    RingMeasure m{0.0, 0.0};
    // Counter-clockwise is positive; a clockwise ring is negative rather
    // than the rest of the ellipsoid.
    polygon.compute(m.perimeter, m.area);
    return m;
}

RingMeasure join_ring_parts(const Geodesic& g, StridedIn lat, StridedIn lon, std::size_t count,
                            const RingMeasure* parts, bool with_perimeter) noexcept {
    const std::size_t n = parts_of(count);
    if (n == 1) return parts[0];
    // The chords, each run as its part's PolygonArea ran it: from the part's
    // end to its start, so from the first vertex of part k + 1 (of part 0
    // after the last) to that of part k.
    RingArea chords(g.solver(), with_perimeter);
    chords.add(lat[0], lon[0]);
    for (std::size_t part = n - 1; part > 0; --part) {
        chords.add(lat[part * part_edges], lon[part * part_edges]);
    }
    double chords_perimeter = 0, chords_area = 0;
    chords.compute(chords_perimeter, chords_area);
    GeographicLib::Accumulator<double> area(0.0), perimeter(0.0);
    for (std::size_t part = 0; part < n; ++part) {
        area += parts[part].area;
        perimeter += parts[part].perimeter;
    }
    area -= chords_area;
    perimeter -= chords_perimeter;
    // Areas add up modulo the ellipsoid's; a signed area lies in
    // (-total/2, total/2], as PolygonArea gives it.
    const double total = g.solver().EllipsoidArea();
    double reduced = std::remainder(area(), total);
    if (reduced <= -total / 2) reduced += total;
    return {reduced, perimeter()};
}

}  // namespace orvik::core
