// The entry point of orvik._orvik and the top module's construction.
#include <Python.h>

#include <atomic>
#include <cstdint>

#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "compat/contract.hpp"
#include "compat/panic.hpp"
#include "compat/module_layout.hpp"
#include "compat/submodules.hpp"

namespace orvik::compat {
namespace {

using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;

void fill_top_module(PyObject* top);

// The process-wide record of the top module.
struct ModuleDef {
    void (*initializer)(PyObject*);
    PyModuleDef def;
    std::atomic<std::int64_t> interpreter{-1};  // the first interpreter to import us
    std::atomic<PyObject*> module{nullptr};     // set once, never released
};

ModuleDef module_def{
    fill_top_module,
    {
        PyModuleDef_HEAD_INIT,
        contract::module_name,
        contract::module_doc,
        0,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    },
};

void fill_top_module(PyObject* top) {
    struct Submodule {
        const char* name;
        void (*register_submodule)(PyObject*);
    };
    static constexpr Submodule submodules[] = {
        {"distance", py_distance::register_submodule},
        {"geodesic", py_geodesic::register_submodule},
        {"units", py_units::register_submodule},
    };
    for (const Submodule& sub : submodules) {
        PyRef name = PyRef::steal(PyUnicode_FromString(sub.name));
        if (!name) throw_python_error();
        PyRef module = PyRef::steal(PyModule_NewObject(name.get()));
        if (!module) throw_python_error();
        sub.register_submodule(module.get());
        add_submodule(top, module.get());
    }
}

PyObject* make_module(ModuleDef& def) {
    const std::int64_t id = PyInterpreterState_GetID(PyInterpreterState_Get());
    if (id == -1) throw_python_error();
    std::int64_t expected = -1;
    if (!def.interpreter.compare_exchange_strong(expected, id) && expected != id) {
        throw PythonError::pending(PyExc_ImportError, contract::subinterpreter_message);
    }
    if (PyObject* cached = def.module.load(std::memory_order_acquire)) return Py_NewRef(cached);

    PyRef module = PyRef::steal(PyModule_Create2(&def.def, 1013));
    if (!module) throw_python_error();
    def.initializer(module.get());

    PyObject* stored = nullptr;
    if (def.module.compare_exchange_strong(stored, module.get(), std::memory_order_acq_rel)) {
        stored = module.release();  // the cache now owns this reference
    }
    return Py_NewRef(stored);
}

}  // namespace
}  // namespace orvik::compat

PyMODINIT_FUNC PyInit__orvik(void) {
    // A PanicException raised through Python code (a conversion calling back
    // into this module, say) resumes the failure it carries.
    orvik::interop::set_fetched_exception_hook(orvik::compat::resume_fetched_panic);
    return orvik::interop::boundary_guard([] { return orvik::compat::make_module(orvik::compat::module_def); },
                                          orvik::compat::panic_report);
}
