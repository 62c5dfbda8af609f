// The exception type by which orvik._orvik reports an internal failure, and
// how such a failure that travelled through Python code is resumed.
#pragma once

#include <Python.h>

#include "interop/boundary.hpp"

namespace orvik::compat {

// The process-wide PanicException type (borrowed), created on first use.
// Null with an exception set when it cannot be created.
PyObject* panic_exception_type() noexcept;
// The type if it has been created already, else null; never creates it.
PyObject* panic_exception_type_if_created() noexcept;

// Internal failures of this module raise PanicException.
extern const interop::InternalFailureReport panic_report;

// The hook for interop::set_fetched_exception_hook: a PanicException coming
// back from Python code is not returned as an error; the internal failure it
// carries is resumed (throws InternalFailure), after the interpreter has
// printed it.
void resume_fetched_panic(PyObject* exception);

}  // namespace orvik::compat
