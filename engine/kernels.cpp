#include "engine/kernels.hpp"

#include "core/great_circle_kernel.hpp"
#include "core/units.hpp"

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

}  // namespace orvik::engine
