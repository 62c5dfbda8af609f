// The boundary guard: the only way out of an entry point is a result object,
// or null with exactly one Python exception set.  Every failure inside a
// module is a C++ exception, and this is the one place that translates them.
#pragma once

#include <Python.h>

namespace orvik::interop {

// How a module reports an internal failure (a broken invariant, not bad
// input) to Python: the exception type it raises and the text it uses when
// the failure carries none.  Each module states its own.
struct InternalFailureReport {
    // The type to raise (borrowed); null with an exception set when it
    // cannot be had, and that exception is then what the caller sees.
    PyObject* (*exception_type)() noexcept;
    const char* without_message;
    // The message of a MemoryError raised for a failed allocation in C++
    // (null: MemoryError without a message).
    const char* out_of_memory = nullptr;
};

// RuntimeError: an ordinary exception that `except Exception` catches and
// that pickles.
extern const InternalFailureReport runtime_error_report;

// Sets the interpreter's exception from the C++ exception being handled.
// Call only inside a catch block.  Never fails: when even the exception
// cannot be made for lack of memory, MemoryError is set.
void raise_current_exception(const InternalFailureReport& report) noexcept;

template <class Body>
PyObject* boundary_guard(Body&& body, const InternalFailureReport& report) noexcept {
    try {
        return static_cast<Body&&>(body)();
    } catch (...) {
        raise_current_exception(report);
        return nullptr;
    }
}

}  // namespace orvik::interop
