// The entry point of orvik._orvik and the top module's construction.
#include <Python.h>

#include <atomic>
#include <cstdint>

#include "interop/boundary.hpp"
#include "interop/results.hpp"
#include "src/module_layout.hpp"
#include "src/submodules.hpp"

namespace orvik {
namespace {

using interop::ErrorValue;
using interop::fetch_error;
using interop::PyRef;
using interop::Result;
using interop::Status;

Status fill_top_module(PyObject* top);

// The process-wide record of the top module.
struct ModuleDef {
    Status (*initializer)(PyObject*);
    PyModuleDef def;
    std::atomic<std::int64_t> interpreter{-1};  // the first interpreter to import us
    std::atomic<PyObject*> module{nullptr};     // set once, never released
};

ModuleDef module_def{
    fill_top_module,
    {
        PyModuleDef_HEAD_INIT,
        "_orvik",
        "The native C++ module exposed as orvik._orvik",
        0,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    },
};

constexpr const char subinterpreter_message[] =
    "PyO3 modules do not yet support subinterpreters, see "
    "https://github.com/PyO3/pyo3/issues/576";

Status fill_top_module(PyObject* top) {
    struct Submodule {
        const char* name;
        Status (*register_submodule)(PyObject*);
    };
    static constexpr Submodule submodules[] = {
        {"distance", py_distance::register_submodule},
        {"geodesic", py_geodesic::register_submodule},
        {"units", py_units::register_submodule},
    };
    for (const Submodule& sub : submodules) {
        PyRef name = PyRef::steal(PyUnicode_FromString(sub.name));
        if (!name) interop::python_api_call_failed();
        PyRef module = PyRef::steal(PyModule_NewObject(name.get()));
        if (!module) return fetch_error();
        if (Status s = sub.register_submodule(module.get()); !s.ok()) return s;
        if (Status s = add_submodule(top, module.get()); !s.ok()) return s;
    }
    return interop::ok_status();
}

Result<PyObject*> make_module(ModuleDef& def) {
    const std::int64_t id = PyInterpreterState_GetID(PyInterpreterState_Get());
    if (id == -1) return fetch_error();
    std::int64_t expected = -1;
    if (!def.interpreter.compare_exchange_strong(expected, id) && expected != id) {
        return ErrorValue::pending(PyExc_ImportError, subinterpreter_message);
    }
    if (PyObject* cached = def.module.load(std::memory_order_acquire)) return Py_NewRef(cached);

    PyRef module = PyRef::steal(PyModule_Create2(&def.def, 1013));
    if (!module) return fetch_error();
    if (Status s = def.initializer(module.get()); !s.ok()) return std::move(s).error();

    PyObject* stored = nullptr;
    if (def.module.compare_exchange_strong(stored, module.get(), std::memory_order_acq_rel)) {
        stored = module.release();  // the cache now owns this reference
    }
    return Py_NewRef(stored);
}

}  // namespace
}  // namespace orvik

PyMODINIT_FUNC PyInit__orvik(void) {
    return orvik::interop::boundary_guard([] { return orvik::make_module(orvik::module_def); });
}
