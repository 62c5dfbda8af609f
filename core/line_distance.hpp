// The nearest point of a polyline of geodesic segments to given points, on
// an ellipsoid, without solving a problem for every segment.
//
// Each segment is cut into pieces of about the same length, and each piece
// is bounded twice, with no geodesic computed at query time:
//   - by its cap on the unit sphere of geocentric directions: the ellipsoid
//     lies outside its inscribed sphere (radius the smaller semi-axis r),
//     and projecting it radially onto that sphere shortens every path, so a
//     geodesic of length s joins directions at most s / r apart; a piece of
//     length l lies within l / 2r of its midpoint's direction;
//   - by its capsule in space: a piece is within (l^2 / 4) kmax of the
//     straight chord between its ends, kmax the greatest curvature of the
//     ellipsoid, and no path is shorter than the straight line.
// A k-d tree over the caps' centres finds the pieces that may be within the
// best distance so far; the larger of the two bounds orders them, and they
// are examined nearest bound first until the bound exceeds the best
// distance.  Before a segment is solved, one inverse problem from its
// piece's midpoint gives a tighter bound: while the point is well within a
// quarter meridian, the distance along a geodesic is convex (its second
// derivative is M12 sin^2(gamma) / m12), so it is at least the tangent's
// value at the piece's ends.  The same margins as the nearest-neighbour
// index keep every bound below GeographicLib's computed distances, so the
// result is the brute force's: the minimum over every segment, ties going
// to the smaller segment index.
//
// The index is immutable once built: any number of threads may query it at
// once, each with its own Scratch.
#pragma once

#include <GeographicLib/Geodesic.hpp>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/geodesic_bounds.hpp"
#include "core/kd_tree.hpp"
#include "core/segment_distance.hpp"
#include "core/work_runner.hpp"

namespace orvik::core {

struct LinePoint {
    ClosestPoint point;    // its `along` is from the start of the line
    std::int64_t segment;  // the index of the nearest segment, -1 for a point that is not one
};

class LineDistance {
public:
    class Scratch {
    public:
        Scratch() = default;

    private:
        friend class LineDistance;
        struct Candidate {
            double bound;
            std::uint32_t piece;
        };
        bool solved(std::uint32_t segment) const noexcept;
        std::vector<Candidate> candidates;
        std::vector<std::uint32_t> done;  // the segments solved for this point: a few
    };

    // The polyline through the vertices (degrees), in order, its segments
    // solved and its pieces made in pieces of `runner`'s work (whose check
    // may stop the build by throwing).  Throws std::invalid_argument for
    // fewer than two vertices, spans of different lengths, or a vertex that
    // is not a point (naming it: a NaN or infinite coordinate, a latitude
    // beyond 90); std::length_error beyond 2^32 - 2 segments.  Segments of
    // zero length are skipped unless the whole line is one point.
    LineDistance(const GeographicLib::Geodesic& g, std::span<const double> lat, std::span<const double> lon,
                 WorkRunner& runner = inline_runner());

    std::size_t memory_bytes() const noexcept;

    // The nearest point of the line to (lat, lon); a NaN point, or a
    // latitude beyond the poles, gets NaN and segment -1.  `inverses`, when
    // given, is increased by the number of inverse problems solved.
    LinePoint nearest(double lat, double lon, Scratch& scratch, std::size_t* inverses = nullptr) const;

private:
    struct Piece {
        std::uint32_t segment;
        double begin, end;           // along the segment, metres
        double mid_lat, mid_lon;     // its midpoint
        double mid_azi;              // the segment's azimuth there
        Vec3 chord_begin, chord_end;  // its ends in space, metres
        double bulge;                // how far it may stray from that chord, metres
    };

    double lower_bound(const Piece& piece, const Vec3& position, const Vec3& direction,
                       std::size_t tree_position) const noexcept;
    void solve(std::size_t segment, double lat, double lon, double start, LinePoint& best,
               std::size_t* inverses) const;

    const GeographicLib::Geodesic& g_;
    std::vector<SegmentShape> shapes_;
    std::vector<std::uint32_t> segment_index_;  // the index of each kept segment in the line
    std::vector<double> start_along_;           // the line's length before each kept segment
    std::vector<Piece> pieces_;                 // in tree order
    std::vector<Vec3> directions_;              // the caps' centres, in tree order
    KdTree3 tree_;
    double max_half_piece_ = 0.0;
    double inner_radius_;     // the inscribed sphere's
    double max_curvature_;    // the ellipsoid's greatest normal curvature, 1 / metres
    double relative_margin_;  // +inf: examine every piece
    double absolute_margin_;  // metres
    bool convex_bound_;       // whether the tangent bound is used
};

// A point's position in space (metres), on the ellipsoid's surface.
Vec3 surface_position(const GeographicLib::Geodesic& g, double lat, double lon) noexcept;

}  // namespace orvik::core
