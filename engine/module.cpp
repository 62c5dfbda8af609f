// The entry point of orvik._engine: the package's own functions, scalar and
// array, on the same kernels and parallel map as orvik._orvik but with a
// worker pool of its own.
#include <Python.h>

#include <cstdlib>

#include "core/great_circle_kernel.hpp"
#include "interop/arguments.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "interop/function_object.hpp"
#include "runtime/thread_count.hpp"
#include "engine/function_registry.hpp"
#include "engine/point_index_type.hpp"
#include "engine/line_distance_function.hpp"
#include "engine/test_hooks.hpp"
#include "engine/thread_limit.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::throw_python_error;

const interop::InternalFailureReport& failures_as = interop::runtime_error_report;

// A thread limit: an int of at least 0 (0: none); one too large for a
// size_t asks for more threads than any pool has, which is no limit either.
std::size_t limit_argument(PyObject* value) {
    if (interop::is_bool(value) || !PyIndex_Check(value)) {
        throw interop::PythonError::pending(PyExc_TypeError,
                                            "a thread limit must be an int, not " + interop::type_qualname(value));
    }
    PyRef n = PyRef::steal(PyNumber_Index(value));
    if (!n) throw_python_error();
    const std::size_t limit = PyLong_AsSize_t(n.get());
    if (limit != static_cast<std::size_t>(-1) || !PyErr_Occurred()) return limit;
    if (!PyErr_ExceptionMatches(PyExc_OverflowError)) throw_python_error();
    PyErr_Clear();
    if (interop::is_negative(n.get())) {
        throw interop::PythonError::pending(PyExc_ValueError, "a thread limit cannot be negative");
    }
    return static_cast<std::size_t>(-1) - 1;
}

// The number of workers the pool has or will have, from the environment;
// the pool is not started.
PyObject* pool_size(PyObject*, PyObject*) {
    return interop::boundary_guard([]() -> PyObject* {
        const std::size_t size = runtime::pool_size_from_environment(
            std::getenv(runtime::pool_size_variable), std::getenv(runtime::pool_size_fallback_variable));
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

PyObject* great_circle_kernel(PyObject*, PyObject*) {
    return PyUnicode_FromString(core::active_great_circle_kernel().name);
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
    {"great_circle_kernel", great_circle_kernel, METH_NOARGS,
     "great_circle_kernel()\n--\n\nThe great-circle kernel this process computes with (see "
     "ORVIK_GREAT_CIRCLE_KERNEL)."},
    {"_function_table", describe_function_tables, METH_NOARGS,
     "_function_table()\n--\n\nEvery row of the function tables, described (for the stubs and the tests)."},
    {"_distance_to_line_inverses", distance_to_line_inverses, METH_NOARGS,
     "_distance_to_line_inverses()\n--\n\nThe inverse problems distance_to_line has solved in this process."},
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
    add_package_functions(module);
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
