#include "src/module_layout.hpp"

#include <atomic>
#include <string>

#include "interop/panic.hpp"
#include "interop/results.hpp"

namespace orvik {
namespace {

using interop::ErrorValue;
using interop::fetch_error;
using interop::ok_status;
using interop::PyRef;
using interop::Status;

// A string interned once per process and kept for its life.
PyObject* interned(std::atomic<PyObject*>& cell, const char* text) {
    if (PyObject* s = cell.load(std::memory_order_acquire)) return s;
    PyObject* s = PyUnicode_InternFromString(text);
    if (s == nullptr) interop::python_api_call_failed();
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
interop::Result<PyRef> index(PyObject* module) {
    PyObject* all_name = interned(all_string, "__all__");
    PyRef all = PyRef::steal(PyObject_GetAttr(module, all_name));
    if (!all) {
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return fetch_error();
        PyErr_Clear();
        all = PyRef::steal(PyList_New(0));
        if (!all) interop::python_api_call_failed();
        if (PyObject_SetAttr(module, all_name, all.get()) < 0) return fetch_error();
        return all;
    }
    if (!PyList_Check(all.get())) return ErrorValue::type_conversion(all.get(), "PyList");
    return all;
}

Status add_function(PyObject* module, PyRef function) {
    PyRef name = PyRef::steal(PyObject_GetAttr(function.get(), interned(name_string, "__name__")));
    if (!name) return fetch_error();
    if (!PyUnicode_Check(name.get())) return ErrorValue::type_conversion(name.get(), "PyString");
    return add(module, name.get(), function.get());
}

}  // namespace

Status add(PyObject* module, PyObject* name, PyObject* value) {
    interop::Result<PyRef> all = index(module);
    if (!all.ok()) return std::move(all).error();
    if (PyList_Append(all.value().get(), name) < 0) {
        PyRef exc = PyRef::steal(PyErr_GetRaisedException());
        interop::panic("could not append __name__ to __all__: " + interop::debug_form(exc.get()));
    }
    if (PyObject_SetAttr(module, name, value) < 0) return fetch_error();
    return ok_status();
}

Status add_submodule(PyObject* parent, PyObject* child) {
    PyRef name = PyRef::steal(PyModule_GetNameObject(child));
    if (!name) return fetch_error();
    return add(parent, name.get(), child);
}

Status register_functions(PyObject* module, std::span<const FunctionRecord> records) {
    for (const FunctionRecord& record : records) {
        PyRef module_name = PyRef::steal(PyModule_GetNameObject(module));
        if (!module_name) return fetch_error();
        // The function object refers to its method definition for its whole
        // life, and functions live as long as the process: never freed.
        auto* def = new PyMethodDef{record.name, record.entry, record.flags, record.doc};
        PyRef function = PyRef::steal(PyCMethod_New(def, module, module_name.get(), nullptr));
        if (!function) return fetch_error();
        Status added = add_function(module, std::move(function));
        if (!added.ok()) return added;
    }
    return ok_status();
}

}  // namespace orvik
