// The exception type by which orvik._orvik reports an internal failure.
#pragma once

#include <Python.h>

namespace orvik::interop {

// The process-wide PanicException type (borrowed), created on first use.
// Null with an exception set when it cannot be created.
PyObject* panic_exception_type() noexcept;
// The type if it has been created already, else null; never creates it.
PyObject* panic_exception_type_if_created() noexcept;

}  // namespace orvik::interop
