// The entry point of orvik._engine: the package's own functions, scalar and
// array, on the same kernels and parallel map as orvik._orvik but with a
// worker pool of its own.
#include <Python.h>

#include <cstdlib>

#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "interop/function_object.hpp"
#include "runtime/thread_count.hpp"
#include "src/contract.hpp"
#include "src/engine/array_kernels.hpp"
#include "src/engine/geometry_kernels.hpp"
#include "src/engine/line_kernels.hpp"
#include "src/engine/point_index_type.hpp"
#include "src/engine/scalar_functions.hpp"
#include "src/engine/test_hooks.hpp"
#include "src/engine/thread_limit.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::throw_python_error;

constexpr auto failures_as = interop::InternalFailureStyle::runtime_error;

std::size_t limit_argument(PyObject* value) {
    const Py_ssize_t n = PyLong_AsSsize_t(value);
    if (n == -1 && PyErr_Occurred()) throw_python_error();
    if (n < 0) throw interop::PythonError::pending(PyExc_ValueError, "a thread limit cannot be negative");
    return static_cast<std::size_t>(n);
}

// The number of workers the pool has or will have, from the environment;
// the pool is not started.
PyObject* pool_size(PyObject*, PyObject*) {
    return interop::boundary_guard([]() -> PyObject* {
        const std::size_t size = runtime::pool_size_from_environment(
            std::getenv(contract::pool_size_variable), std::getenv(contract::pool_size_fallback_variable));
        PyObject* result = PyLong_FromSize_t(size);
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

PyObject* set_process_limit(PyObject*, PyObject* arg) {
    return interop::boundary_guard([arg]() -> PyObject* {
        PyObject* result = PyLong_FromSize_t(set_process_thread_limit(limit_argument(arg)));
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

// None removes this thread's own limit.  Returns the previous one (or None).
PyObject* set_thread_limit(PyObject*, PyObject* arg) {
    return interop::boundary_guard([arg]() -> PyObject* {
        const ThreadLimit wanted = arg == Py_None ? ThreadLimit{false, 0} : ThreadLimit{true, limit_argument(arg)};
        const ThreadLimit previous = set_this_thread_limit(wanted);
        if (!previous.has_limit) Py_RETURN_NONE;
        PyObject* result = PyLong_FromSize_t(previous.limit);
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

PyObject* current_limit(PyObject*, PyObject*) {
    return interop::boundary_guard([]() -> PyObject* {
        PyObject* result = PyLong_FromSize_t(thread_limit());
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

PyObject* process_limit(PyObject*, PyObject*) {
    return interop::boundary_guard([]() -> PyObject* {
        PyObject* result = PyLong_FromSize_t(process_thread_limit());
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

PyObject* fail_pool_starts(PyObject*, PyObject* arg) {
    return interop::boundary_guard([arg]() -> PyObject* {
        fail_thread_starts(static_cast<int>(limit_argument(arg)));
        Py_RETURN_NONE;
    }, failures_as);
}

PyMethodDef private_methods[] = {
    {"pool_size", pool_size, METH_NOARGS,
     "pool_size()\n--\n\nWorkers in the package's pool (sized from the environment)."},
    {"set_process_thread_limit", set_process_limit, METH_O,
     "set_process_thread_limit(n)\n--\n\nThe process-wide thread limit (0: none); "
     "returns the previous one."},
    {"set_thread_limit", set_thread_limit, METH_O,
     "set_thread_limit(n)\n--\n\nThis thread's own limit (None: follow the process-wide "
     "one); returns the previous one."},
    {"process_thread_limit", process_limit, METH_NOARGS,
     "process_thread_limit()\n--\n\nThe process-wide thread limit (0: none)."},
    {"thread_limit", current_limit, METH_NOARGS,
     "thread_limit()\n--\n\nThe limit for calls made now from this thread (0: none)."},
    {"_fail_pool_starts", fail_pool_starts, METH_O,
     "_fail_pool_starts(n)\n--\n\nFor tests: the next n thread starts of the pool fail "
     "with EAGAIN."},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT, "_engine", "The compiled engine of the orvik package.", 0,
    private_methods, nullptr, nullptr, nullptr, nullptr,
};

void add_functions(PyObject* module) {
    PyRef own_name = PyRef::steal(PyModule_GetNameObject(module));
    if (!own_name) throw_python_error();
    for (std::size_t i = 0; i < array_kernel_count; ++i) {
        PyRef f = interop::make_function(array_kernel_records[i], module, own_name.get());
        if (PyModule_AddObjectRef(module, array_kernel_records[i].name, f.get()) < 0) throw_python_error();
    }
    for (std::size_t i = 0; i < line_kernel_count; ++i) {
        PyRef f = interop::make_function(line_kernel_records[i], module, own_name.get());
        if (PyModule_AddObjectRef(module, line_kernel_records[i].name, f.get()) < 0) throw_python_error();
    }
    for (std::size_t i = 0; i < geometry_kernel_count; ++i) {
        PyRef f = interop::make_function(geometry_kernel_records[i], module, own_name.get());
        if (PyModule_AddObjectRef(module, geometry_kernel_records[i].name, f.get()) < 0) throw_python_error();
    }
    // The functions of numbers name the package module that offers them as
    // their __module__, where pickle looks them up.
    for (const ScalarModule& group : scalar_modules) {
        PyRef name = PyRef::steal(PyUnicode_FromString(group.module_name));
        if (!name) throw_python_error();
        for (const interop::FunctionRecord& record : group.records) {
            PyRef f = interop::make_function(record, module, name.get());
            if (PyModule_AddObjectRef(module, record.name, f.get()) < 0) throw_python_error();
        }
    }
}

}  // namespace
}  // namespace orvik::engine

PyMODINIT_FUNC PyInit__engine(void) {
    return orvik::interop::boundary_guard([]() -> PyObject* {
        orvik::interop::PyRef module = orvik::interop::PyRef::steal(PyModule_Create(&orvik::engine::module_def));
        if (!module) orvik::interop::throw_python_error();
        orvik::engine::add_functions(module.get());
        orvik::engine::add_point_index_type(module.get());
        return module.release();
    }, orvik::engine::failures_as);
}
