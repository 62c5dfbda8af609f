// Building the module tree: function objects, submodules and __all__.
#pragma once

#include <Python.h>

#include <span>

#include "interop/errors.hpp"

namespace orvik {

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
    int flags;        // METH_FASTCALL | METH_KEYWORDS, or METH_NOARGS
    const char* doc;  // "name(params)\n--\n\ndescription"
};

// Adds one function per record to `module`, in order.
interop::Status register_functions(PyObject* module, std::span<const FunctionRecord> records);

// Adds `child` to `parent` under the child's own __name__.
interop::Status add_submodule(PyObject* parent, PyObject* child);

// Records `name` in the module's __all__, then sets the attribute.
interop::Status add(PyObject* module, PyObject* name, PyObject* value);

}  // namespace orvik
