#include "core/rhumb.hpp"

#if ORVIK_HAVE_RHUMB

#include <limits>

#include "core/geodesic.hpp"

namespace orvik::core {
namespace {

using Mask = GeographicLib::Rhumb::mask;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// A point GeographicLib's Rhumb can take.  NaN and infinities fail here
// rather than inside: at a pole the solver ignores the longitude, so a NaN
// longitude there would otherwise come out as a finite distance.
bool is_point(double lat, double lon) noexcept { return is_latitude(lat) && std::isfinite(lon); }

unsigned inverse_work(unsigned mask) noexcept {
    unsigned work = 0;
    if (mask & rhumb_inverse_s12) work |= Mask::DISTANCE;
    if (mask & rhumb_inverse_azi12) work |= Mask::AZIMUTH;
    if (mask & rhumb_inverse_S12) work |= Mask::AREA;
    return work;
}

unsigned direct_work(unsigned mask) noexcept {
    unsigned work = 0;
    if (mask & rhumb_direct_lat2) work |= Mask::LATITUDE;
    if (mask & rhumb_direct_lon2) work |= Mask::LONGITUDE;
    if (mask & rhumb_direct_S12) work |= Mask::AREA;
    return work;
}

void put(const StridedOut* columns, unsigned mask, std::size_t i, const double (&values)[rhumb_output_columns]) noexcept {
    for (std::size_t k = 0; k < rhumb_output_columns; ++k) {
        if (mask & (1u << k)) columns[k].set(i, values[k]);
    }
}

}  // namespace

Rhumb::Rhumb(double a, double f, bool exact) : solver_(a, f, exact), exact_(exact) {
    // GeographicLib fills the series of each conversion between auxiliary
    // latitudes on its first use, in a const method: threads of the pool
    // meeting a new solver at once would race on them, and one could read a
    // half-filled series.  Each problem once, here, before any thread sees
    // the solver, fills every series they use (the pole takes the meridian
    // branch, which converts to the rectifying latitude).
    double x = 0, y = 0, z = 0;
    solver_.GenInverse(10, 20, 30, 40, Mask::ALL, x, y, z);
    solver_.GenInverse(90, 0, 30, 40, Mask::ALL, x, y, z);
    solver_.GenDirect(10, 20, 30, 1e6, Mask::ALL, x, y, z);
}

double Rhumb::distance(double lat1, double lon1, double lat2, double lon2) const noexcept {
    if (!is_point(lat1, lon1) || !is_point(lat2, lon2)) return nan;
    double s12 = 0, unused = 0;
    solver_.GenInverse(lat1, lon1, lat2, lon2, Mask::DISTANCE, s12, unused, unused);
    return s12;
}

const Rhumb& wgs84_rhumb() noexcept {
    static const Rhumb instance(WGS84_A, WGS84_F, false);
    return instance;
}

void rhumb_inverse_strided(const Rhumb& r, const StridedIn* in, const StridedOut* out, unsigned mask,
                           std::size_t n) noexcept {
    const unsigned work = inverse_work(mask);
    const GeographicLib::Rhumb& solver = r.solver();
    for (std::size_t i = 0; i < n; ++i) {
        double v[rhumb_output_columns] = {nan, nan, nan};  // s12, azi12, S12
        const double lat1 = in[0][i], lon1 = in[1][i], lat2 = in[2][i], lon2 = in[3][i];
        if (is_point(lat1, lon1) && is_point(lat2, lon2)) solver.GenInverse(lat1, lon1, lat2, lon2, work, v[0], v[1], v[2]);
        put(out, mask, i, v);
    }
}

void rhumb_direct_strided(const Rhumb& r, const StridedIn* in, const StridedOut* out, unsigned mask,
                          std::size_t n) noexcept {
    const unsigned work = direct_work(mask);
    const GeographicLib::Rhumb& solver = r.solver();
    for (std::size_t i = 0; i < n; ++i) {
        double v[rhumb_output_columns] = {nan, nan, nan};  // lat2, lon2, S12
        const double lat1 = in[0][i], lon1 = in[1][i], azi12 = in[2][i], s12 = in[3][i];
        if (is_point(lat1, lon1) && std::isfinite(azi12) && std::isfinite(s12)) {
            solver.GenDirect(lat1, lon1, azi12, s12, work, v[0], v[1], v[2]);
        }
        put(out, mask, i, v);
    }
}

}  // namespace orvik::core

#endif  // ORVIK_HAVE_RHUMB
