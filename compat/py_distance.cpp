// The distance submodule: great-circle and geodesic distance, destination and
// inverse for one pair of points, and the batch functions over arrays.
#include <string_view>

#include "core/geodesic.hpp"
#include "core/great_circle.hpp"
#include "compat/function_entry.hpp"
#include "interop/results.hpp"
#include "interop/geodesic_result_dict.hpp"
#include "compat/module_layout.hpp"
#include "compat/py_distance_batch.hpp"
#include "compat/submodules.hpp"

namespace orvik::compat::py_distance {
namespace {

using interop::FASTCALL;
using interop::fastcall;
using interop::FunctionDescription;

constexpr std::string_view pair_params[] = {"lat1", "lon1", "lat2", "lon2"};
constexpr std::string_view destination_params[] = {"lat1", "lon1", "bearing", "distance"};

constexpr FunctionDescription geodesic_distance_desc{"geodesic_distance", pair_params};
constexpr FunctionDescription geodesic_destination_desc{"geodesic_destination", destination_params};
constexpr FunctionDescription great_circle_distance_desc{"great_circle_distance", pair_params};
constexpr FunctionDescription great_circle_destination_desc{"great_circle_destination",
                                                            destination_params};
constexpr FunctionDescription geodesic_inverse_desc{"geodesic_inverse", pair_params};

PyObject* geodesic_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return call_with_doubles<4>(geodesic_distance_desc, args, nargs, kwnames, [](const auto& v) {
        return interop::make_float(core::wgs84().inverse(v[0], v[1], v[2], v[3]).s12);
    });
}

PyObject* geodesic_destination(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                               PyObject* kwnames) {
    return call_with_doubles<4>(geodesic_destination_desc, args, nargs, kwnames, [](const auto& v) {
        const core::GeodesicResult r = core::wgs84().direct(v[0], v[1], v[2], v[3]);
        return interop::make_float_tuple({r.lat2, r.lon2});
    });
}

PyObject* great_circle_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                PyObject* kwnames) {
    return call_with_doubles<4>(great_circle_distance_desc, args, nargs, kwnames, [](const auto& v) {
        return interop::make_float(core::great_circle_distance(v[0], v[1], v[2], v[3]));
    });
}

PyObject* great_circle_destination(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                   PyObject* kwnames) {
    return call_with_doubles<4>(great_circle_destination_desc, args, nargs, kwnames, [](const auto& v) {
        const auto [lat2, lon2] = core::great_circle_destination(v[0], v[1], v[2], v[3]);
        return interop::make_float_tuple({lat2, lon2});
    });
}

PyObject* geodesic_inverse(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return call_with_doubles<4>(geodesic_inverse_desc, args, nargs, kwnames, [](const auto& v) {
        return geodesic_result_dict(core::wgs84().inverse(v[0], v[1], v[2], v[3]), GeodesicFields::basic);
    });
}

const FunctionRecord records[] = {
    {"geodesic_distance", fastcall(geodesic_distance), FASTCALL,
     "geodesic_distance(lat1, lon1, lat2, lon2)\n--\n\n"
     "Geodesic (ellipsoidal) distance between two points. Returns meters."},
    {"geodesic_destination", fastcall(geodesic_destination), FASTCALL,
     "geodesic_destination(lat1, lon1, bearing, distance)\n--\n\n"
     "Geodesic destination given start, azimuth (degrees), and distance (meters).\n"
     "Returns (lat2, lon2)."},
    {"great_circle_distance", fastcall(great_circle_distance), FASTCALL,
     "great_circle_distance(lat1, lon1, lat2, lon2)\n--\n\n"
     "Great-circle (spherical) distance. Returns meters."},
    {"great_circle_destination", fastcall(great_circle_destination), FASTCALL,
     "great_circle_destination(lat1, lon1, bearing, distance)\n--\n\n"
     "Great-circle destination. Returns (lat2, lon2)."},
    {"geodesic_inverse", fastcall(geodesic_inverse), FASTCALL,
     "geodesic_inverse(lat1, lon1, lat2, lon2)\n--\n\n"
     "Full inverse geodesic result. Returns dict with s12, azi1, azi2, a12, etc."},
    {"geodesic_distance_batch", fastcall(geodesic_distance_batch), FASTCALL,
     "geodesic_distance_batch(lat1, lon1, lat2, lon2)\n--\n\n"
     "Batch geodesic distance: arrays of (lat1, lon1, lat2, lon2) \u2192 array of distances "
     "(meters).\nUses rayon for parallel computation."},
    {"great_circle_distance_batch", fastcall(great_circle_distance_batch), FASTCALL,
     "great_circle_distance_batch(lat1, lon1, lat2, lon2)\n--\n\n"
     "Batch great-circle distance: arrays \u2192 array of distances (meters)."},
};

}  // namespace

void register_submodule(PyObject* submodule) { register_functions(submodule, records); }

}  // namespace orvik::compat::py_distance
