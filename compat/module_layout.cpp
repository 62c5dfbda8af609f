#include "compat/module_layout.hpp"

#include <atomic>
#include <string>

#include "interop/errors.hpp"
#include "runtime/failure.hpp"

namespace orvik::compat {
namespace {

using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;

// A string interned once per process and kept for its life.
PyObject* interned(std::atomic<PyObject*>& cell, const char* text) {
    if (PyObject* s = cell.load(std::memory_order_acquire)) return s;
    PyObject* s = PyUnicode_InternFromString(text);
    if (s == nullptr) throw_python_error();
    PyObject* expected = nullptr;
    if (!cell.compare_exchange_strong(expected, s, std::memory_order_acq_rel)) {
        Py_DECREF(s);
        return expected;
    }
    return s;
}

std::atomic<PyObject*> name_string{nullptr};
std::atomic<PyObject*> all_string{nullptr};

// The module's __all__ list, created when the module has none.
PyRef index(PyObject* module) {
    PyObject* all_name = interned(all_string, "__all__");
    PyRef all = PyRef::steal(PyObject_GetAttr(module, all_name));
    if (!all) {
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) throw_python_error();
        PyErr_Clear();
        all = PyRef::steal(PyList_New(0));
        if (!all) throw_python_error();
        if (PyObject_SetAttr(module, all_name, all.get()) < 0) throw_python_error();
        return all;
    }
    if (!PyList_Check(all.get())) throw PythonError::type_conversion(all.get(), "PyList");
    return all;
}

void add_function(PyObject* module, PyObject* function) {
    PyRef name = PyRef::steal(PyObject_GetAttr(function, interned(name_string, "__name__")));
    if (!name) throw_python_error();
    if (!PyUnicode_Check(name.get())) throw PythonError::type_conversion(name.get(), "PyString");
    add(module, name.get(), function);
}

}  // namespace

void add(PyObject* module, PyObject* name, PyObject* value) {
    PyRef all = index(module);
    if (PyList_Append(all.get(), name) < 0) {
        PyRef exc = PyRef::steal(PyErr_GetRaisedException());
        fail("could not append __name__ to __all__: " + interop::debug_form(exc.get()));
    }
    if (PyObject_SetAttr(module, name, value) < 0) throw_python_error();
}

void add_submodule(PyObject* parent, PyObject* child) {
    PyRef name = PyRef::steal(PyModule_GetNameObject(child));
    if (!name) throw_python_error();
    add(parent, name.get(), child);
}

void register_functions(PyObject* module, std::span<const FunctionRecord> records) {
    for (const FunctionRecord& record : records) {
        PyRef module_name = PyRef::steal(PyModule_GetNameObject(module));
        if (!module_name) throw_python_error();
        PyRef function = interop::make_function(record, module, module_name.get());
        add_function(module, function.get());
    }
}

}  // namespace orvik::compat
