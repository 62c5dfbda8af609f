// The geodesic submodule: the direct and inverse problems on WGS84 with every
// output by name, and the ellipsoid's two defining constants.
#include <string_view>

#include "core/geodesic.hpp"
#include "compat/function_entry.hpp"
#include "interop/results.hpp"
#include "interop/geodesic_result_dict.hpp"
#include "compat/module_layout.hpp"
#include "compat/panic.hpp"
#include "compat/submodules.hpp"

namespace orvik::compat::py_geodesic {
namespace {

using interop::FASTCALL;
using interop::fastcall;
using interop::FunctionDescription;

constexpr std::string_view inverse_params[] = {"lat1", "lon1", "lat2", "lon2"};
constexpr FunctionDescription inverse_desc{"inverse", inverse_params};

PyObject* inverse(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return call_with_doubles<4>(inverse_desc, args, nargs, kwnames, [](const auto& v) {
        return geodesic_result_dict(core::wgs84().inverse_full(v[0], v[1], v[2], v[3]), GeodesicFields::full);
    });
}

constexpr std::string_view direct_params[] = {"lat1", "lon1", "azi1", "s12"};
constexpr FunctionDescription direct_desc{"direct", direct_params};

PyObject* direct(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return call_with_doubles<4>(direct_desc, args, nargs, kwnames, [](const auto& v) {
        return geodesic_result_dict(core::wgs84().direct(v[0], v[1], v[2], v[3]), GeodesicFields::basic);
    });
}

// The constants are returned as they are: the solver is neither consulted
// nor created.
PyObject* wgs84_a(PyObject*, PyObject*) {
    return interop::boundary_guard([] { return interop::make_float(core::WGS84_A); }, panic_report);
}

PyObject* wgs84_f(PyObject*, PyObject*) {
    return interop::boundary_guard([] { return interop::make_float(core::WGS84_F); }, panic_report);
}

const FunctionRecord records[] = {
    {"inverse", fastcall(inverse), FASTCALL,
     "inverse(lat1, lon1, lat2, lon2)\n--\n\nFull inverse geodesic problem on WGS84.\n"
     "Returns dict with lat1, lon1, lat2, lon2, s12, azi1, azi2, a12, m12, M12, M21, S12."},
    {"direct", fastcall(direct), FASTCALL,
     "direct(lat1, lon1, azi1, s12)\n--\n\nFull direct geodesic problem on WGS84."},
    {"wgs84_a", wgs84_a, METH_NOARGS, "wgs84_a()\n--\n\nWGS84 equatorial radius in meters."},
    {"wgs84_f", wgs84_f, METH_NOARGS, "wgs84_f()\n--\n\nWGS84 flattening."},
};

}  // namespace

void register_submodule(PyObject* submodule) { register_functions(submodule, records); }

}  // namespace orvik::compat::py_geodesic
