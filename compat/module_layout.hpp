// Building orvik._orvik's module tree: function objects, submodules and
// __all__.  Failures throw.
#pragma once

#include <Python.h>

#include <span>

#include "interop/function_object.hpp"

namespace orvik::compat {

using interop::FunctionRecord;

// Adds one function per record to `module`, in order.
void register_functions(PyObject* module, std::span<const FunctionRecord> records);

// Adds `child` to `parent` under the child's own __name__.
void add_submodule(PyObject* parent, PyObject* child);

// Records `name` in the module's __all__, then sets the attribute.
void add(PyObject* module, PyObject* name, PyObject* value);

}  // namespace orvik::compat
