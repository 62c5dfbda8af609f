// The entry point of orvik._export.
#include <Python.h>

#include "interop/boundary.hpp"
#include "src/export/functions.hpp"

namespace orvik::exported {
namespace {

using FastcallEntry = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);

// CPython stores every entry point as a PyCFunction and casts it back by flags.
PyCFunction fastcall(FastcallEntry entry) {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(entry));
}

PyMethodDef methods[] = {
    {"rebind", fastcall(rebind), METH_FASTCALL | METH_KEYWORDS,
     "rebind(function, module)\n--\n\n"
     "A builtin function sharing `function`'s entry point and __self__, whose\n"
     "__module__ is `module`."},
    {"geodesic_distance_into", fastcall(geodesic_distance_into), METH_FASTCALL | METH_KEYWORDS,
     "geodesic_distance_into(out, lat1, lon1, lat2, lon2)\n--\n\n"
     "Writes WGS84 geodesic distances (metres) into `out`; all five are float64\n"
     "buffers of one shape, with any strides."},
    {"great_circle_distance_into", fastcall(great_circle_distance_into),
     METH_FASTCALL | METH_KEYWORDS,
     "great_circle_distance_into(out, lat1, lon1, lat2, lon2)\n--\n\n"
     "Writes great-circle distances (metres) into `out`; all five are float64\n"
     "buffers of one shape, with any strides."},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "_export",
    "Private helpers of the orvik package.",
    0,
    methods,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace
}  // namespace orvik::exported

PyMODINIT_FUNC PyInit__export(void) {
    return orvik::interop::boundary_guard([]() -> orvik::interop::Result<PyObject*> {
        PyObject* module = PyModule_Create(&orvik::exported::module_def);
        if (module == nullptr) return orvik::interop::fetch_error();
        return module;
    });
}
