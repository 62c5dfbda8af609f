// Geodesic constructions over geometries' coordinates: densifying the edges
// of polylines and rings, where a geodesic edge crosses a meridian, and
// geodesic circles drawn as polygons that stay valid in longitude/latitude
// across the antimeridian and around a pole.  Each works on one edge or one
// circle, so that a caller can run many at once; none touches Python.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/geodesic.hpp"
#include "core/strided.hpp"

namespace orvik::core {

// --- densifying edges --------------------------------------------------------

// How one edge is cut: its length and azimuth at the start (the inverse
// problem), and the number of equal pieces, each no longer than the
// largest length asked for.
struct EdgePlan {
    double length;
    double azimuth;
    std::int64_t pieces;
};

// The number of equal pieces of at most `max_length` metres for an edge of
// `length` metres: ceil(length / max_length), at least 1, at most `cap` (a
// count the caller refuses anyway, so that no count overflows).  An edge
// without a finite length (a vertex that is not a point) is one piece: it
// gets no points.
std::int64_t pieces_of_edge(double length, double max_length, std::int64_t cap) noexcept;

// The plan of the edge from (lat1, lon1) to (lat2, lon2).
EdgePlan plan_edge(const Geodesic& g, double lat1, double lon1, double lat2, double lon2,
                   double max_length, std::int64_t cap) noexcept;

// Writes the plan.pieces - 1 points that cut the edge starting at
// (lat1, lon1) into its equal pieces, in order from the start, to elements
// [0, pieces - 1) of `lat` and `lon`.  Longitudes are reduced to
// [-180, 180].
void fill_edge(const Geodesic& g, double lat1, double lon1, const EdgePlan& plan, StridedOut lat,
               StridedOut lon) noexcept;

// --- the antimeridian ----------------------------------------------------------

// The latitude at which the geodesic from (lat1, lon1) to (lat2, lon2)
// crosses the meridian `meridian`.  The longitudes are continuous along the
// edge (|lon2 - lon1| < 180, no wrap between them) and `meridian` lies
// between them; so a crossing of the antimeridian is asked for as 180 (or
// -180) between, say, 179 and 181.
double meridian_crossing(const Geodesic& g, double lat1, double lon1, double lat2, double lon2,
                         double meridian) noexcept;

// --- geodesic circles ----------------------------------------------------------

// What a circle became.  The numbers are part of the engine's interface.
enum class CircleShape : std::int64_t {
    missing = 0,     // no centre or radius to draw (NaN, infinite, |lat| > 90)
    empty = 1,       // radius 0
    polygon = 2,     // one ring
    split = 3,       // two rings, on either side of the antimeridian
    cap = 4,         // one ring reaching a pole along the antimeridian
    both_poles = 5,  // contains both poles: not drawn
};

struct CircleOutline {
    CircleShape shape;
    std::size_t sizes[2];  // vertices of each ring, the closing vertex included
};

// The most vertices a circle of n vertices is written with, over its rings.
inline constexpr std::size_t circle_capacity(std::size_t n) noexcept { return n + 6; }

// Draws geodesic circles of n vertices (n >= 3) as polygons in longitude
// and latitude.  The vertices lie at the radius from the centre by the
// direct problem, at azimuths -360 k / n for k = 0, ..., n - 1 (north, then
// west: counter-clockwise, as GeoJSON's exteriors run); the edges between
// them are geodesics.  A circle around neither pole is one ring whose
// longitudes run on continuously from the centre's (reduced to [-180, 180]),
// past +-180 where the circle crosses the antimeridian; unless `unroll`, such
// a circle is cut there into two rings, at the points where its geodesic
// edges cross the antimeridian, the eastern one shifted by -360.  A circle
// around a pole is a cap: its vertices from -180 to 180 (or back), closed
// along the antimeridian and the pole's parallel, cut or unrolled alike.
// One maker is used by one thread at a time; it keeps its scratch space.
class CircleMaker {
public:
    CircleMaker(const Geodesic& g, std::size_t n, bool unroll);

    // Writes the circle's rings one after the other to elements
    // [0, circle_capacity(n)) of `lat` and `lon`.
    CircleOutline draw(double lat, double lon, double radius, StridedOut lat_out, StridedOut lon_out);

private:
    void vertices(double lat, double lon0, double radius);
    CircleOutline polygon(StridedOut lat_out, StridedOut lon_out) const noexcept;
    CircleOutline split(double meridian, StridedOut lat_out, StridedOut lon_out);
    CircleOutline cap(bool north, StridedOut lat_out, StridedOut lon_out);

    const Geodesic& g_;
    std::size_t n_;
    bool unroll_;
    // The n vertices in ring order: latitudes, longitudes from the centre's
    // (continuous along the ring unless it goes round a pole), and for a
    // cap the longitudes reduced.
    std::vector<double> lat_, lon_, reduced_;
    // The ring with its crossings of the antimeridian, and their sides.
    std::vector<double> cut_lat_, cut_lon_;
    std::vector<int> side_;
};

}  // namespace orvik::core
