// The entry point of orvik._export.
#include <Python.h>

#include "interop/boundary.hpp"
#include "interop/parallel_map.hpp"
#include "src/export/functions.hpp"

namespace orvik::exported {
namespace {

using FastcallEntry = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);

// CPython stores every entry point as a PyCFunction and casts it back by flags.
PyCFunction fastcall(FastcallEntry entry) {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(entry));
}

// The worker pool's thread count, creating the pool if it does not exist yet.
PyObject* pool_threads(PyObject*, PyObject*) noexcept {
    return interop::boundary_guard([]() -> interop::Result<PyObject*> {
        PyObject* count = PyLong_FromSize_t(interop::pool_thread_count());
        if (count == nullptr) return interop::fetch_error();
        return count;
    });
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
    {"pool_threads", pool_threads, METH_NOARGS,
     "pool_threads()\n--\n\nThe worker pool's thread count (starting the pool if needed)."},
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
