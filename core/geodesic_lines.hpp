// Problems over whole lines on an ellipsoid: points along a geodesic or a
// rhumb line, the length of a polyline and the area of a ring whose edges are
// either.  Each works on a part of one line, track or ring given as strided
// columns, so that a caller can split long ones over threads and run many at
// once; none touches Python.
#pragma once

#include <GeographicLib/GeodesicLine.hpp>

#include <cstddef>

#include "core/geodesic.hpp"
#include "core/rhumb.hpp"
#include "core/strided.hpp"

namespace orvik::core {

// The geodesic from (lat1, lon1) to (lat2, lon2), walked by distance.
class GeodesicPath {
public:
    GeodesicPath(const Geodesic& g, double lat1, double lon1, double lat2, double lon2) noexcept;
    // Metres; NaN when the line does not exist (a NaN, or a latitude beyond 90).
    double length() const noexcept { return line_.Distance(); }
    void position(double s, double& lat, double& lon) const noexcept { line_.Position(s, lat, lon); }

private:
    GeographicLib::GeodesicLine line_;
};

#if ORVIK_HAVE_RHUMB
// The rhumb line from (lat1, lon1) to (lat2, lon2) (the shorter way in
// longitude), walked by distance.  A line from a pole is the meridian of its
// end, where GeographicLib's line, knowing only its start and azimuth, has no
// longitude: its points take the end's.
class RhumbPath {
public:
    RhumbPath(const Rhumb& r, double lat1, double lon1, double lat2, double lon2) noexcept;
    double length() const noexcept { return length_; }
    void position(double s, double& lat, double& lon) const noexcept {
        line_.Position(s, lat, lon);
        if (from_pole_) lon = meridian_;
    }

private:
    struct Course {
        double length, azimuth;
    };
    static Course course_of(const Rhumb& r, double lat1, double lon1, double lat2, double lon2) noexcept;
    RhumbPath(const Rhumb& r, double lat1, double lon1, double lon2, Course course) noexcept;

    double length_;
    GeographicLib::RhumbLine line_;
    bool from_pole_;
    double meridian_;  // the end's longitude, reduced to [-180, 180]
};
#endif

// The points of one line (a Path) from (lat1, lon1) to (lat2, lon2), equally
// spaced by distance: with `include_ends`, n points whose first and last are
// the two endpoints (n - 1 steps); without, n interior points (n + 1 steps).
template <class Path>
class LinePoints {
public:
    template <class Solver>
    LinePoints(const Solver& solver, double lat1, double lon1, double lat2, double lon2, std::size_t n,
               bool include_ends) noexcept;

    // Writes points [first, last) to elements [0, last - first) of `lat`
    // and `lon`.  Longitudes are reduced to [-180, 180].  The endpoints are
    // the arguments themselves (the longitude reduced), not recomputed, so
    // that a line starts and ends exactly where it was asked to; when the
    // line has no finite length (a NaN or a latitude beyond 90), every
    // point is NaN.
    void write(std::size_t first, std::size_t last, StridedOut lat, StridedOut lon) const noexcept;

private:
    Path path_;
    double lat1_, lon1_, lat2_, lon2_;
    std::size_t n_;
    bool include_ends_;
    double step_;
};

extern template class LinePoints<GeodesicPath>;
extern template LinePoints<GeodesicPath>::LinePoints(const Geodesic&, double, double, double, double, std::size_t,
                                                     bool) noexcept;
#if ORVIK_HAVE_RHUMB
extern template class LinePoints<RhumbPath>;
extern template LinePoints<RhumbPath>::LinePoints(const Rhumb&, double, double, double, double, std::size_t,
                                                  bool) noexcept;
#endif

// The lines that join successive vertices of tracks and rings: geodesics,
// the shortest paths, or rhumb lines, of constant bearing (a lat/lon box's
// edges, so that its area is that of the grid cell).  A geodesic solver
// converts to its edges, geodesics being what a track is unless told
// otherwise.
class Edges {
public:
    Edges(const Geodesic& g) noexcept : geodesic_(&g) {}  // NOLINT(google-explicit-constructor)
#if ORVIK_HAVE_RHUMB
    explicit Edges(const Rhumb& r) noexcept : rhumb_(&r) {}
#endif
    // Exactly one of them is set.
    const Geodesic* geodesic() const noexcept { return geodesic_; }
#if ORVIK_HAVE_RHUMB
    const Rhumb* rhumb() const noexcept { return rhumb_; }
#endif

private:
    const Geodesic* geodesic_ = nullptr;
#if ORVIK_HAVE_RHUMB
    const Rhumb* rhumb_ = nullptr;
#endif
};

// Long tracks and rings are computed in parts of this many edges, so that
// one of them can keep every worker busy.  The parts depend on the data
// alone, never on the number of threads, and so do the results.
inline constexpr std::size_t part_edges = 4096;

// The number of parts of a track or ring of `edges` edges: at least one.
inline std::size_t parts_of(std::size_t edges) noexcept {
    return edges == 0 ? 1 : (edges + part_edges - 1) / part_edges;
}

// Sum of the lengths of the edges from vertex i to vertex i + 1 for i in
// [first, last) of a polyline.  Summed with GeographicLib's
// Accumulator (twice the precision of a double), so that adding up the
// parts of a long track costs at most one rounding per part.  NaN when a
// vertex of these edges is NaN, infinite or beyond the poles.
double polyline_length(const Edges& edges, StridedIn lat, StridedIn lon, std::size_t first,
                       std::size_t last) noexcept;

// Part `part` of the track through `count` vertices: the length of edges
// [part * part_edges, (part + 1) * part_edges).  A single vertex (the only
// part) gives 0, or NaN when it is not a point.
double track_part(const Edges& edges, StridedIn lat, StridedIn lon, std::size_t count,
                  std::size_t part) noexcept;

// The length of the track from those of its `count` parts, added up in order.
double join_track_parts(const double* parts, std::size_t count) noexcept;

struct RingMeasure {
    double area;       // m^2, positive when the ring runs counter-clockwise
    double perimeter;  // m, the closing edge included
};

// Part `part` of the ring through `count` vertices, closed from the last back
// to the first (any size, across the poles and the antimeridian), by
// GeographicLib's PolygonArea (PolygonAreaRhumb for rhumb edges): the polygon through the vertices of edges
// [part * part_edges, (part + 1) * part_edges), closed back to its first.
// A ring of one part is the ring itself.
RingMeasure ring_part(const Edges& edges, StridedIn lat, StridedIn lon, std::size_t count,
                      std::size_t part) noexcept;

// The measure of the ring from those of its parts, in order.  Each part is
// closed by a chord back to its first vertex; the chords together form the
// polygon through the parts' first vertices, run backwards, whose edges are
// the very same lines.  Subtracting it from the sum of the parts leaves
// the ring, its area modulo the ellipsoid's and reduced as PolygonArea
// reduces a signed area.
RingMeasure join_ring_parts(const Edges& edges, StridedIn lat, StridedIn lon, std::size_t count,
                            const RingMeasure* parts) noexcept;

}  // namespace orvik::core
