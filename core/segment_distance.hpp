// The point of a geodesic segment nearest to a given point, on an ellipsoid.
//
// The closest point of the segment is one where the geodesic from the
// point meets the segment at a right angle, or an end.  It is found by
// Newton's method on the along-track distance t, minimising s(t)^2 / 2, s
// the geodesic distance from the point to the segment's point at t:
//   g(t)  = -s cos(gamma)
//   g'(t) = cos^2(gamma) + (M12 s / m12) sin^2(gamma)
// gamma being the angle at the segment's point between the segment and the
// geodesic to the point, m12 and M12 the reduced length and geodesic scale
// of that geodesic, all from GeographicLib's inverse problem.  In the plane
// g is linear and one step is exact; on the ellipsoid the steps converge
// quadratically from the start the unit normals give.  Where the minimum
// is too flat for Newton (points about a quarter meridian from the line),
// the step of the spherical right triangle is taken instead.
#pragma once

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>

#include <cstddef>

namespace orvik::core {

struct ClosestPoint {
    double distance;  // metres from the point to the segment
    double along;     // metres from the segment's start to the closest point, in [0, length]
    double lat, lon;  // the closest point, degrees; longitude in [-180, 180]
    double side;      // +1 left of the segment's direction, -1 right, 0 on it (or its extension)
};

// A segment with no direction: what a zero-length or NaN segment gives.
ClosestPoint no_closest_point() noexcept;

// What a segment is made of: its ends, its length and its azimuths at both
// ends (degrees), as the inverse problem gives them.  A polyline keeps one
// per edge and makes its GeodesicSegment only when a point needs it.
struct SegmentShape {
    double lat1, lon1, lat2, lon2;
    double azi1, azi2;
    double length;
};

// The inverse problem from (lat1, lon1) to (lat2, lon2), as a shape.
SegmentShape segment_shape(const GeographicLib::Geodesic& g, double lat1, double lon1, double lat2,
                           double lon2) noexcept;

class GeodesicSegment {
public:
    GeodesicSegment(const GeographicLib::Geodesic& g, const SegmentShape& shape) noexcept;

    const SegmentShape& shape() const noexcept { return shape_; }

    // The closest point of the segment to (lat, lon).  Ends are the
    // arguments themselves: a point nearest to an end gets the distance of
    // the inverse problem from that end, so the two segments of a polyline
    // that share a vertex give it the same bits.  NaN everywhere when an
    // argument is NaN or a latitude is beyond the poles.  `inverses`, when
    // given, is increased by the number of inverse problems solved.
    ClosestPoint closest(double lat, double lon, std::size_t* inverses = nullptr) const noexcept;
    // The same, the iteration starting `start` metres along (a caller that
    // knows roughly where the closest point is).
    ClosestPoint closest_from(double lat, double lon, double start, std::size_t* inverses = nullptr) const noexcept;

private:
    struct Probe;
    Probe probe(double t, double lat, double lon, std::size_t* inverses) const noexcept;
    double first_guess(double lat, double lon) const noexcept;

    const GeographicLib::Geodesic& g_;
    SegmentShape shape_;
    GeographicLib::GeodesicLine line_;
    double radius_;  // a sphere's radius for the far steps and the guess
};

}  // namespace orvik::core
