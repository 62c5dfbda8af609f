// The boundary guard: the only way out of an entry point is a result object,
// or null with exactly one Python exception set.  Every failure inside the
// module is a C++ exception, and this is the one place that translates them.
#pragma once

#include <Python.h>

namespace orvik::interop {

// How an internal failure (a broken invariant, not bad input) reaches Python.
enum class InternalFailureStyle {
    // PanicException, derived from BaseException only: orvik._orvik's contract.
    panic_exception,
    // RuntimeError: an ordinary exception that `except Exception` catches
    // and that pickles, for the package's own functions.
    runtime_error,
};

// Sets the interpreter's exception from the C++ exception being handled.
// Call only inside a catch block.  Never fails: when even the exception
// cannot be made for lack of memory, MemoryError is set.
void raise_current_exception(InternalFailureStyle style) noexcept;

template <class Body>
PyObject* boundary_guard(Body&& body,
                         InternalFailureStyle style = InternalFailureStyle::panic_exception) noexcept {
    try {
        return static_cast<Body&&>(body)();
    } catch (...) {
        raise_current_exception(style);
        return nullptr;
    }
}

}  // namespace orvik::interop
