#include "core/geodesic.hpp"

#if ORVIK_HAVE_INTERSECT
#include <GeographicLib/Intersect.hpp>
#endif

namespace orvik::core {
namespace {

using Mask = GeographicLib::Geodesic::mask;

// What GeographicLib must compute for the outputs of `mask`.
unsigned inverse_work(unsigned mask) noexcept {
    unsigned work = 0;
    if (mask & inverse_s12) work |= Mask::DISTANCE;
    if (mask & (inverse_azi1 | inverse_azi2)) work |= Mask::AZIMUTH;
    if (mask & inverse_m12) work |= Mask::REDUCEDLENGTH;
    if (mask & (inverse_M12 | inverse_M21)) work |= Mask::GEODESICSCALE;
    if (mask & inverse_S12) work |= Mask::AREA;
    return work;
}

unsigned direct_work(unsigned mask) noexcept {
    // The latitude and the azimuth come with every solution.
    unsigned work = Mask::LATITUDE | Mask::AZIMUTH;
    if (mask & direct_lon2) work |= Mask::LONGITUDE;
    if (mask & direct_m12) work |= Mask::REDUCEDLENGTH;
    if (mask & (direct_M12 | direct_M21)) work |= Mask::GEODESICSCALE;
    if (mask & direct_S12) work |= Mask::AREA;
    return work;
}

// Writes the outputs of `mask` of element i.
void put(const StridedOut* columns, unsigned mask, std::size_t i,
         const double (&values)[geodesic_output_columns]) noexcept {
    for (std::size_t k = 0; k < geodesic_output_columns; ++k) {
        if (mask & (1u << k)) columns[k].set(i, values[k]);
    }
}

}  // namespace

Geodesic::Geodesic(double a, double f) : solver_(a, f) {}

const GeographicLib::Intersect* Geodesic::intersector() const {
#if ORVIK_HAVE_INTERSECT
    std::call_once(intersector_made_, [this] {
        try {
            intersector_ = std::make_shared<const GeographicLib::Intersect>(solver_);
        } catch (const GeographicLib::GeographicErr&) {
            // Too eccentric: stays null.
        }
    });
#endif
    return intersector_.get();
}

GeodesicResult Geodesic::inverse_full(double lat1, double lon1, double lat2,
                                      double lon2) const noexcept {
    GeodesicResult r{lat1, lon1, lat2, lon2};
    r.a12 = solver_.Inverse(lat1, lon1, lat2, lon2, r.s12, r.azi1, r.azi2, r.m12, r.M12, r.M21,
                            r.S12);
    return r;
}

GeodesicResult Geodesic::direct(double lat1, double lon1, double azi1, double s12) const noexcept {
    GeodesicResult r{lat1, lon1};
    r.azi1 = azi1;
    r.s12 = s12;
    solver_.Direct(lat1, lon1, azi1, s12, r.lat2, r.lon2, r.azi2);
    return r;
}

const Geodesic& wgs84() noexcept {
    // A function-local static: concurrent first callers wait for the one
    // construction, and every later call is a single acquire load.
    static const Geodesic instance(WGS84_A, WGS84_F);
    return instance;
}

void inverse_strided(const Geodesic& g, const StridedIn* in, const StridedOut* out, unsigned mask,
                     std::size_t n) noexcept {
    const unsigned work = inverse_work(mask);
    const GeographicLib::Geodesic& solver = g.solver();
    for (std::size_t i = 0; i < n; ++i) {
        double v[geodesic_output_columns] = {};  // s12, azi1, azi2, a12, m12, M12, M21, S12
        v[3] = solver.GenInverse(in[0][i], in[1][i], in[2][i], in[3][i], work, v[0], v[1], v[2], v[4], v[5],
                                 v[6], v[7]);
        put(out, mask, i, v);
    }
}

void direct_strided(const Geodesic& g, const StridedIn* in, const StridedOut* out, unsigned mask,
                    std::size_t n) noexcept {
    const unsigned work = direct_work(mask);
    const GeographicLib::Geodesic& solver = g.solver();
    for (std::size_t i = 0; i < n; ++i) {
        double v[geodesic_output_columns] = {};  // lat2, lon2, azi2, a12, m12, M12, M21, S12
        double s12_out = 0;
        v[3] = solver.GenDirect(in[0][i], in[1][i], in[2][i], false, in[3][i], work, v[0], v[1], v[2], s12_out,
                                v[4], v[5], v[6], v[7]);
        put(out, mask, i, v);
    }
}

}  // namespace orvik::core
