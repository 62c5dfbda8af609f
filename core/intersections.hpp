// Where two geodesics meet, by GeographicLib's Intersect, over strided
// columns.  Intersect needs GeographicLib 2.3 or later: with an older
// system library (ORVIK_HAVE_INTERSECT 0) these functions are left out.
#pragma once

#include <cstddef>

#include "core/geodesic.hpp"
#include "core/strided.hpp"

namespace orvik::core {

#if ORVIK_HAVE_INTERSECT

// The columns of both problems, in order; the segments' problem adds
// `segments_meet`.  x and y are signed distances in metres along geodesic
// X and geodesic Y from their first points, lat and lon the intersection's
// position (on X), coincident GeographicLib's indicator: 0, or +1 (-1)
// where the geodesics lie on one another, running the same (opposite) way.
enum IntersectionOutput : unsigned {
    intersection_x = 1u << 0,
    intersection_y = 1u << 1,
    intersection_lat = 1u << 2,
    intersection_lon = 1u << 3,
    intersection_coincident = 1u << 4,
    segments_meet = 1u << 5,  // 1.0 where both segments hold the intersection, else 0.0
};

// For i in [0, n): the intersection of the geodesic from (in[0][i],
// in[1][i]) along azimuth in[2][i] with the one from (in[3][i], in[4][i])
// along in[5][i] nearest to both starts (least |x| + |y|).  NaN outputs for
// NaN or infinite inputs and latitudes beyond the poles, and everywhere
// when the ellipsoid is too eccentric for Intersect.
void closest_intersections_strided(const Geodesic& g, const StridedIn* in, const StridedOut* out, unsigned mask,
                                   std::size_t n) noexcept;

// For i in [0, n): the intersection of the shortest geodesic from
// (in[0][i], in[1][i]) to (in[2][i], in[3][i]) with the one from (in[4][i],
// in[5][i]) to (in[6][i], in[7][i]): the one within both segments if they
// meet, else the one nearest to their midpoints.  They meet when x and y
// are within the segments, ends included, or within rounding of them: where
// the geodesics pass within a few nanometres of each other at an end, or
// the segments share an end.  `segments_meet` is 0.0 for NaN inputs.
void segment_intersections_strided(const Geodesic& g, const StridedIn* in, const StridedOut* out, unsigned mask,
                                   std::size_t n) noexcept;

#endif

}  // namespace orvik::core
