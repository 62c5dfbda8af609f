// The package's array kernels: each fills output buffers from input buffers
// of one shape (the Python side has converted and broadcast them), element
// by element through the same kernels of core/ as the functions of numbers.
#include "engine/array_kernels.hpp"

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "core/geodesic.hpp"
#include "core/great_circle.hpp"
#include "core/great_circle_kernel.hpp"
#include "core/units.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "engine/array_run.hpp"
#include "engine/ellipsoid.hpp"

namespace orvik::engine {
namespace {

using interop::FunctionDescription;
using interop::PythonError;

// Rough nanoseconds per element, for deciding what is worth the pool.
constexpr double great_circle_ns = 8;
constexpr double inverse_ns = 1000;
constexpr double direct_ns = 600;
constexpr double destination_ns = 40;
constexpr double unit_ns = 1;


template <std::size_t K>
core::StridedIn input(const runtime::Stretch<K>& s, std::size_t k) noexcept {
    return {s.at[k], s.step[k]};
}
template <std::size_t K>
core::StridedOut output(const runtime::Stretch<K>& s, std::size_t k) noexcept {
    return {s.at[k], s.step[k]};
}

template <std::size_t N>
PyObject* const* bind(const FunctionDescription& desc, PyObject* const* args, Py_ssize_t nargs,
                      PyObject* kwnames, PyObject* (&slots)[N]) {
    return interop::bind_arguments(desc, args, nargs, kwnames, slots);
}

// The items of a tuple of exactly `count` output buffers (or None).
template <std::size_t Count>
std::array<PyObject*, Count> output_tuple(PyObject* outputs) {
    if (!PyTuple_Check(outputs) || PyTuple_GET_SIZE(outputs) != static_cast<Py_ssize_t>(Count)) {
        throw PythonError::pending(PyExc_TypeError, "outputs must be a tuple of " +
                                                        std::to_string(Count) + " arrays or None");
    }
    std::array<PyObject*, Count> items;
    for (std::size_t k = 0; k < Count; ++k) items[k] = PyTuple_GET_ITEM(outputs, static_cast<Py_ssize_t>(k));
    return items;
}

template <class Body>
PyObject* guarded(Body&& body) noexcept {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            body();
            Py_RETURN_NONE;
        },
        interop::runtime_error_report);
}

// --- great-circle distance -----------------------------------------------------

constexpr std::string_view gc_params[] = {"out", "lat1", "lon1", "lat2", "lon2", "radius"};
constexpr FunctionDescription gc_desc{"great_circle_distance_into", gc_params};

PyObject* great_circle_distance_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[6] = {};
        PyObject* const* a = bind(gc_desc, args, nargs, kwnames, slots);
        const double radius = resolve_radius(a[5]);
        const Operands<5> ops(gc_desc.name, {a[0], a[1], a[2], a[3], a[4]}, 1,
                              std::span<const std::string_view, 5>(gc_params, 5));
        run_strided(ops.layout(), [radius](const runtime::Stretch<5>& s) {
            core::great_circle_distance_strided(input(s, 1), input(s, 2), input(s, 3), input(s, 4),
                                                output(s, 0), s.count, radius);
        }, great_circle_ns);
    });
}

// --- great-circle destination ----------------------------------------------------

constexpr std::string_view gcd_params[] = {"lat2", "lon2", "lat1", "lon1", "bearing", "distance", "radius"};
constexpr FunctionDescription gcd_desc{"great_circle_destination_into", gcd_params};

PyObject* great_circle_destination_into(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                        PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[7] = {};
        PyObject* const* a = bind(gcd_desc, args, nargs, kwnames, slots);
        const double radius = resolve_radius(a[6]);
        const Operands<6> ops(gcd_desc.name, {a[0], a[1], a[2], a[3], a[4], a[5]}, 2,
                              std::span<const std::string_view, 6>(gcd_params, 6));
        run_strided(ops.layout(), [radius](const runtime::Stretch<6>& s) {
            core::great_circle_destination_strided(input(s, 2), input(s, 3), input(s, 4), input(s, 5),
                                                   output(s, 0), output(s, 1), s.count, radius);
        }, destination_ns);
    });
}

// --- geodesic inverse and direct -------------------------------------------------

constexpr std::string_view inverse_names[] = {"s12", "azi1", "azi2", "a12", "m12", "M12", "M21", "S12",
                                              "lat1", "lon1", "lat2", "lon2"};
constexpr std::string_view inverse_params[] = {"outputs", "lat1", "lon1", "lat2", "lon2", "ellipsoid"};
constexpr FunctionDescription inverse_desc{"geodesic_inverse_into", inverse_params};

constexpr std::string_view direct_names[] = {"lat2", "lon2", "azi2", "a12", "m12", "M12", "M21", "S12",
                                             "lat1", "lon1", "azi1", "s12"};
constexpr std::string_view direct_params[] = {"outputs", "lat1", "lon1", "azi1", "s12", "ellipsoid"};
constexpr FunctionDescription direct_desc{"geodesic_direct_into", direct_params};

// Both problems: eight output buffers (None for those not wanted, which are
// then not computed), four input columns and an ellipsoid.
template <class Columns, class Solve>
PyObject* geodesic_into(const FunctionDescription& desc, std::span<const std::string_view, 12> names,
                        double ns_per_element, PyObject* const* args, Py_ssize_t nargs,
                        PyObject* kwnames, Solve solve) {
    return guarded([&] {
        PyObject* slots[6] = {};
        PyObject* const* a = bind(desc, args, nargs, kwnames, slots);
        const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(a[5]);
        const auto outs = output_tuple<8>(a[0]);
        std::array<PyObject*, 12> objects;
        for (std::size_t k = 0; k < 8; ++k) objects[k] = outs[k];
        for (std::size_t k = 0; k < 4; ++k) objects[8 + k] = a[1 + k];
        const Operands<12> ops(desc.name, objects, 8, names, /*optional_outputs=*/true);
        const core::Geodesic& g = *solver;
        run_strided(ops.layout(), [&g, solve](const runtime::Stretch<12>& s) {
            const Columns out{output(s, 0), output(s, 1), output(s, 2), output(s, 3),
                              output(s, 4), output(s, 5), output(s, 6), output(s, 7)};
            solve(g, input(s, 8), input(s, 9), input(s, 10), input(s, 11), out, s.count);
        }, ns_per_element);
    });
}

PyObject* geodesic_inverse_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return geodesic_into<core::InverseColumns>(inverse_desc, std::span<const std::string_view, 12>(inverse_names, 12),
                                               inverse_ns, args, nargs, kwnames, core::inverse_strided);
}

PyObject* geodesic_direct_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return geodesic_into<core::DirectColumns>(direct_desc, std::span<const std::string_view, 12>(direct_names, 12),
                                              direct_ns, args, nargs, kwnames, core::direct_strided);
}

// --- units -----------------------------------------------------------------------

struct UnitOp {
    const char* name;
    double (*op)(double) noexcept;
};
constexpr UnitOp unit_ops[] = {
    {"km_to_mi", core::units::km_to_mi},   {"mi_to_km", core::units::mi_to_km},
    {"km_to_nm", core::units::km_to_nm},   {"nm_to_km", core::units::nm_to_km},
    {"m_to_ft", core::units::m_to_ft},     {"ft_to_m", core::units::ft_to_m},
    {"m_to_km", core::units::m_to_km},     {"km_to_m", core::units::km_to_m},
    {"deg_to_rad", core::units::deg_to_rad}, {"rad_to_deg", core::units::rad_to_deg},
};

constexpr std::string_view unit_params[] = {"name", "out", "x"};
constexpr FunctionDescription unit_desc{"unit_into", unit_params};

PyObject* unit_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[3] = {};
        PyObject* const* a = bind(unit_desc, args, nargs, kwnames, slots);
        const char* name = PyUnicode_Check(a[0]) ? PyUnicode_AsUTF8(a[0]) : nullptr;
        if (name == nullptr) {
            if (PyErr_Occurred()) interop::throw_python_error();
            throw PythonError::pending(PyExc_TypeError, "unit_into(): name must be a str");
        }
        const UnitOp* found = nullptr;
        for (const UnitOp& u : unit_ops) {
            if (std::string_view(u.name) == name) found = &u;
        }
        if (found == nullptr) {
            throw PythonError::pending(PyExc_ValueError, std::string("unit_into(): no unit '") + name + "'");
        }
        constexpr std::string_view names[] = {"out", "x"};
        const Operands<2> ops(unit_desc.name, {a[1], a[2]}, 1, std::span<const std::string_view, 2>(names, 2));
        const auto op = found->op;
        run_strided(ops.layout(), [op](const runtime::Stretch<2>& s) {
            const core::StridedIn x = input(s, 1);
            const core::StridedOut out = output(s, 0);
            for (std::size_t i = 0; i < s.count; ++i) out.set(i, op(x[i]));
        }, unit_ns);
    });
}

constexpr std::string_view dms_params[] = {"out", "degrees", "arcminutes", "arcseconds"};
constexpr FunctionDescription dms_desc{"dms_to_deg_into", dms_params};

PyObject* dms_to_deg_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[4] = {};
        PyObject* const* a = bind(dms_desc, args, nargs, kwnames, slots);
        const Operands<4> ops(dms_desc.name, {a[0], a[1], a[2], a[3]}, 1,
                              std::span<const std::string_view, 4>(dms_params, 4));
        run_strided(ops.layout(), [](const runtime::Stretch<4>& s) {
            const core::StridedOut out = output(s, 0);
            for (std::size_t i = 0; i < s.count; ++i) {
                out.set(i, core::units::dms_to_deg(input(s, 1)[i], input(s, 2)[i], input(s, 3)[i]));
            }
        }, unit_ns);
    });
}

constexpr std::string_view to_dms_params[] = {"degrees", "minutes", "seconds", "dd"};
constexpr FunctionDescription to_dms_desc{"deg_to_dms_into", to_dms_params};

PyObject* deg_to_dms_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[4] = {};
        PyObject* const* a = bind(to_dms_desc, args, nargs, kwnames, slots);
        const Operands<4> ops(to_dms_desc.name, {a[0], a[1], a[2], a[3]}, 3,
                              std::span<const std::string_view, 4>(to_dms_params, 4));
        run_strided(ops.layout(), [](const runtime::Stretch<4>& s) {
            const core::StridedIn dd = input(s, 3);
            for (std::size_t i = 0; i < s.count; ++i) {
                const auto parts = core::units::deg_to_dms(dd[i]);
                for (std::size_t k = 0; k < 3; ++k) output(s, k).set(i, parts[k]);
            }
        }, unit_ns);
    });
}

}  // namespace

const interop::FunctionRecord array_kernel_records[] = {
    {"great_circle_distance_into", interop::fastcall(great_circle_distance_into), interop::FASTCALL,
     "great_circle_distance_into(out, lat1, lon1, lat2, lon2, radius)\n--\n\n"
     "Fills `out` with great-circle distances; every buffer float64 of one shape."},
    {"great_circle_destination_into", interop::fastcall(great_circle_destination_into), interop::FASTCALL,
     "great_circle_destination_into(lat2, lon2, lat1, lon1, bearing, distance, radius)\n--\n\n"
     "Fills `lat2` and `lon2` with great-circle destinations."},
    {"geodesic_inverse_into", interop::fastcall(geodesic_inverse_into), interop::FASTCALL,
     "geodesic_inverse_into(outputs, lat1, lon1, lat2, lon2, ellipsoid)\n--\n\n"
     "Fills the buffers of `outputs` (s12, azi1, azi2, a12, m12, M12, M21, S12; None\n"
     "for those not wanted) with the inverse problem's results."},
    {"geodesic_direct_into", interop::fastcall(geodesic_direct_into), interop::FASTCALL,
     "geodesic_direct_into(outputs, lat1, lon1, azi1, s12, ellipsoid)\n--\n\n"
     "Fills the buffers of `outputs` (lat2, lon2, azi2, a12, m12, M12, M21, S12; None\n"
     "for those not wanted) with the direct problem's results."},
    {"unit_into", interop::fastcall(unit_into), interop::FASTCALL,
     "unit_into(name, out, x)\n--\n\nFills `out` with the unit conversion `name` of `x`."},
    {"dms_to_deg_into", interop::fastcall(dms_to_deg_into), interop::FASTCALL,
     "dms_to_deg_into(out, degrees, arcminutes, arcseconds)\n--\n\n"},
    {"deg_to_dms_into", interop::fastcall(deg_to_dms_into), interop::FASTCALL,
     "deg_to_dms_into(degrees, minutes, seconds, dd)\n--\n\n"},
};

const std::size_t array_kernel_count = std::size(array_kernel_records);

}  // namespace orvik::engine
