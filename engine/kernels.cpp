#include "engine/kernels.hpp"

#include <iterator>
#include <string>

#include "core/great_circle_kernel.hpp"
#include "core/intersections.hpp"
#include "core/segment_distance.hpp"
#include "core/units.hpp"
#include "interop/errors.hpp"

namespace orvik::engine {

void inverse(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned mask,
             std::size_t n) noexcept {
    core::inverse_strided(*m.solver, in, out, mask, n);
}

void direct(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned mask,
            std::size_t n) noexcept {
    core::direct_strided(*m.solver, in, out, mask, n);
}

#if ORVIK_HAVE_RHUMB
void rhumb_inverse(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned mask,
                   std::size_t n) noexcept {
    core::rhumb_inverse_strided(*m.rhumb, in, out, mask, n);
}

void rhumb_direct(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned mask,
                  std::size_t n) noexcept {
    core::rhumb_direct_strided(*m.rhumb, in, out, mask, n);
}
#endif

void great_circle_distance(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned,
                           std::size_t n) noexcept {
    core::great_circle_distance_strided(in[0], in[1], in[2], in[3], out[0], n, m.radius);
}

void great_circle_destination(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned,
                              std::size_t n) noexcept {
    core::great_circle_destination_strided(in[0], in[1], in[2], in[3], out[0], out[1], n, m.radius);
}

void dms_to_deg(const Model&, const core::StridedIn* in, const core::StridedOut* out, unsigned,
                std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) out[0].set(i, core::units::dms_to_deg(in[0][i], in[1][i], in[2][i]));
}

void deg_to_dms(const Model&, const core::StridedIn* in, const core::StridedOut* out, unsigned,
                std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        const auto parts = core::units::deg_to_dms(in[0][i]);
        for (std::size_t k = 0; k < 3; ++k) out[k].set(i, parts[k]);
    }
}

#if ORVIK_HAVE_INTERSECT
void closest_intersection(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned mask,
                          std::size_t n) noexcept {
    core::closest_intersections_strided(*m.solver, in, out, mask, n);
}

void segment_intersection(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned mask,
                          std::size_t n) noexcept {
    core::segment_intersections_strided(*m.solver, in, out, mask, n);
}

void prepare_intersections(const Model& m) {
    if (m.solver->intersector() != nullptr) return;
    char* f = PyOS_double_to_string(m.solver->flattening(), 'r', 0, 0, nullptr);
    if (f == nullptr) interop::throw_python_error();
    const std::string flattening(f);
    PyMem_Free(f);
    throw interop::PythonError::pending(PyExc_ValueError, "ellipsoid: a flattening of " + flattening +
                                                              " is too eccentric for GeographicLib's intersections "
                                                              "(made for -1/4 <= f <= 1/5)");
}
#endif

void distance_to_segment(const Model& m, const core::StridedIn* in, const core::StridedOut* out, unsigned mask,
                         std::size_t n) noexcept {
    const GeographicLib::Geodesic& g = m.solver->solver();
    for (std::size_t i = 0; i < n; ++i) {
        const core::GeodesicSegment segment(g, core::segment_shape(g, in[2][i], in[3][i], in[4][i], in[5][i]));
        const core::ClosestPoint p = segment.closest(in[0][i], in[1][i]);
        const double values[] = {p.distance, p.along, p.lat, p.lon, p.side};
        for (std::size_t k = 0; k < std::size(values); ++k) {
            if (mask & (1u << k)) out[k].set(i, values[k]);
        }
    }
}

}  // namespace orvik::engine
