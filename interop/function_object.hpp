// Builtin function objects made from constant records.
#pragma once

#include <Python.h>

#include "interop/py_ref.hpp"

namespace orvik::interop {

inline constexpr int FASTCALL = METH_FASTCALL | METH_KEYWORDS;

using FastcallEntry = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);

// CPython stores every entry point as a PyCFunction and casts it back by flags.
inline PyCFunction fastcall(FastcallEntry entry) {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(entry));
}

// One Python-visible function: what its PyMethodDef is built from.
struct FunctionRecord {
    const char* name;
    PyCFunction entry;
    int flags;        // FASTCALL, or METH_NOARGS
    const char* doc;  // "name(params)\n--\n\ndescription"
};

// A builtin function for `record`, bound to `self`, whose __module__ is
// `module_name`.  Throws PythonError.
PyRef make_function(const FunctionRecord& record, PyObject* self, PyObject* module_name);

}  // namespace orvik::interop
