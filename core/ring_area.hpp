// The area and perimeter of a ring as GeographicLib's PolygonArea computes
// them, bit for bit: the same inverse problem per edge, the same sums and
// the same reduction, but with its count of crossings of the prime meridian
// done without the remainders that PolygonArea spends on longitudes already
// in [-180, 180] (every longitude of real data), which cost it a tenth of
// an edge's time.
#pragma once

#include <GeographicLib/Accumulator.hpp>
#include <GeographicLib/Geodesic.hpp>

namespace orvik::core {

class RingArea {
public:
    // Without `perimeter`, the edges' lengths are not asked for, which
    // saves a series per edge; compute() then gives a NaN perimeter and the
    // same area.
    explicit RingArea(const GeographicLib::Geodesic& g, bool perimeter = true) noexcept;

    // The next vertex of the ring.
    void add(double lat, double lon) noexcept;

    // PolygonArea::Compute(reverse = false, sign = true): the area
    // positive counter-clockwise, in (-total / 2, total / 2], and the
    // perimeter, both with the closing edge from the last vertex back to
    // the first; 0 and 0 for fewer than two vertices, but NaN for a single
    // vertex that is not a point (NaN, infinite, or a latitude beyond 90),
    // where PolygonArea gives 0.
    void compute(double& perimeter, double& area) const noexcept;

    // PolygonArea's count of crossings of the prime meridian from lon1 to
    // lon2: +1 eastwards, -1 westwards, else 0.
    static int transit(double lon1, double lon2) noexcept;

private:
    const GeographicLib::Geodesic& g_;
    const unsigned mask_;
    GeographicLib::Accumulator<double> area_{0.0}, perimeter_{0.0};
    int crossings_ = 0;
    unsigned count_ = 0;
    double lat0_ = 0, lon0_ = 0, lat1_ = 0, lon1_ = 0;
};

}  // namespace orvik::core
