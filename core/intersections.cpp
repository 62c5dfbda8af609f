#include "core/intersections.hpp"

#if ORVIK_HAVE_INTERSECT

#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/Intersect.hpp>
#include <GeographicLib/Math.hpp>

#include <cmath>
#include <limits>

namespace orvik::core {
namespace {

using GeographicLib::Intersect;
using GeographicLib::Math;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t columns = 6;

bool is_point(double lat, double lon) noexcept { return std::abs(lat) <= 90 && std::isfinite(lon); }

void put(const StridedOut* out, unsigned mask, std::size_t i, const double (&values)[columns]) noexcept {
    for (std::size_t k = 0; k < columns; ++k) {
        if (mask & (1u << k)) out[k].set(i, values[k]);
    }
}

void put_nan(const StridedOut* out, unsigned mask, std::size_t i) noexcept {
    put(out, mask, i, {nan, nan, nan, nan, nan, 0.0});
}

// A copy of the ellipsoid's Intersect for this call alone (its counters are
// not to be shared between threads), or none.
const Intersect* prototype(const Geodesic& g) noexcept {
    try {
        return g.intersector();
    } catch (...) {  // out of memory: the caller already made it, so never here
        return nullptr;
    }
}

// Two points that are one, longitudes taken modulo 360.
bool same_point(double lat1, double lon1, double lat2, double lon2) noexcept {
    return lat1 == lat2 && (std::abs(lat1) == 90 || Math::AngDiff(lon1, lon2) == 0);
}

}  // namespace

void closest_intersections_strided(const Geodesic& g, const StridedIn* in, const StridedOut* out, unsigned mask,
                                   std::size_t n) noexcept {
    const Intersect* made = prototype(g);
    if (made == nullptr) {
        for (std::size_t i = 0; i < n; ++i) put_nan(out, mask, i);
        return;
    }
    const Intersect intersect = *made;
    const GeographicLib::Geodesic& solver = g.solver();
    for (std::size_t i = 0; i < n; ++i) {
        const double lat_x = in[0][i], lon_x = in[1][i], azi_x = in[2][i];
        const double lat_y = in[3][i], lon_y = in[4][i], azi_y = in[5][i];
        if (!is_point(lat_x, lon_x) || !is_point(lat_y, lon_y) || !std::isfinite(azi_x) || !std::isfinite(azi_y)) {
            put_nan(out, mask, i);
            continue;
        }
        const GeographicLib::GeodesicLine line_x = solver.Line(lat_x, lon_x, azi_x, Intersect::LineCaps);
        const GeographicLib::GeodesicLine line_y = solver.Line(lat_y, lon_y, azi_y, Intersect::LineCaps);
        int coincident = 0;
        const Intersect::Point p = intersect.Closest(line_x, line_y, Intersect::Point(0, 0), &coincident);
        double v[columns] = {p.first, p.second, nan, nan, static_cast<double>(coincident), 0.0};
        if (mask & (intersection_lat | intersection_lon)) line_x.Position(p.first, v[2], v[3]);
        put(out, mask, i, v);
    }
}

void segment_intersections_strided(const Geodesic& g, const StridedIn* in, const StridedOut* out, unsigned mask,
                                   std::size_t n) noexcept {
    const Intersect* made = prototype(g);
    if (made == nullptr) {
        for (std::size_t i = 0; i < n; ++i) put_nan(out, mask, i);
        return;
    }
    const Intersect intersect = *made;
    const GeographicLib::Geodesic& solver = g.solver();
    // How far apart the geodesics may pass and still meet: rounding.
    const double touch = 2e-15 * solver.EquatorialRadius();
    for (std::size_t i = 0; i < n; ++i) {
        double e[8];
        for (std::size_t k = 0; k < 8; ++k) e[k] = in[k][i];
        if (!is_point(e[0], e[1]) || !is_point(e[2], e[3]) || !is_point(e[4], e[5]) || !is_point(e[6], e[7])) {
            put_nan(out, mask, i);
            continue;
        }
        const GeographicLib::GeodesicLine line_x = solver.InverseLine(e[0], e[1], e[2], e[3], Intersect::LineCaps);
        const GeographicLib::GeodesicLine line_y = solver.InverseLine(e[4], e[5], e[6], e[7], Intersect::LineCaps);
        int segmode = 0, coincident = 0;
        const Intersect::Point p = intersect.Segment(line_x, line_y, segmode, &coincident);
        double x = p.first, y = p.second;
        const double sx = line_x.Distance(), sy = line_y.Distance();
        double lat, lon, azi_x, lat_y, lon_y, azi_y;
        line_x.Position(x, lat, lon, azi_x);
        line_y.Position(y, lat_y, lon_y, azi_y);
        bool meet = segmode == 0;
        if (!meet) {
            // Crossing at angle theta, geodesics a distance d apart meet
            // d / sin(theta) away along each: so far may rounding move an
            // intersection at an end outside.
            const double sine = std::abs(std::sin(Math::AngDiff(azi_x, azi_y) * Math::degree()));
            const double slack = sine > 0 ? touch / sine : 0.0;
            meet = x >= -slack && x <= sx + slack && y >= -slack && y <= sy + slack;
        }
        // Segments that share an end meet there, whatever the rounding.
        for (std::size_t a = 0; a < 4 && !meet; a += 2) {
            for (std::size_t b = 4; b < 8 && !meet; b += 2) {
                if (!same_point(e[a], e[a + 1], e[b], e[b + 1])) continue;
                meet = true;
                x = a == 0 ? 0.0 : sx;
                y = b == 4 ? 0.0 : sy;
                lat = e[a];
                lon = Math::AngNormalize(e[a + 1]);
            }
        }
        const double v[columns] = {x, y, lat, lon, static_cast<double>(coincident), meet ? 1.0 : 0.0};
        put(out, mask, i, v);
    }
}

}  // namespace orvik::core

#endif
