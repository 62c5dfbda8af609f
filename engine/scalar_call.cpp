#include "engine/scalar_call.hpp"

#include <string>

#include "interop/errors.hpp"

namespace orvik::engine {

using interop::PyRef;

bool looks_like_array(PyObject* obj) {
    if (PyList_Check(obj) || PyTuple_Check(obj)) return true;
    if (PyUnicode_Check(obj) || PyBytes_Check(obj)) return false;
    static const char* const markers[] = {"__array__", "__array_interface__", "__array_struct__"};
    for (const char* marker : markers) {
        if (PyObject_HasAttrString(obj, marker)) return true;
    }
    return false;
}

PyObject* forward_to_array_version(const ScalarFunction& fn, PyObject* const* args, Py_ssize_t nargs,
                                   PyObject* kwnames) {
    PyObject* target = fn.array_version.load(std::memory_order_acquire);
    if (target == nullptr) {
        PyRef module = PyRef::steal(PyImport_ImportModule("orvik._elementwise"));
        if (!module) interop::throw_python_error();
        const std::string name(fn.desc.name);
        PyObject* found = PyObject_GetAttrString(module.get(), name.c_str());
        if (found == nullptr) interop::throw_python_error();
        // Kept for the life of the process; the first one stored wins.
        PyObject* expected = nullptr;
        if (fn.array_version.compare_exchange_strong(expected, found, std::memory_order_acq_rel)) {
            target = found;
        } else {
            Py_DECREF(found);
            target = expected;
        }
    }
    const auto positional = static_cast<std::size_t>(nargs);
    PyObject* result = PyObject_Vectorcall(target, args, positional, kwnames);
    if (result == nullptr) interop::throw_python_error();
    return result;
}

}  // namespace orvik::engine
