// The boundary guard: the only way out of an entry point is a result object,
// or null with exactly one Python exception set.  No C++ exception escapes.
#pragma once

#include <Python.h>

#include <exception>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "interop/errors.hpp"
#include "interop/panic.hpp"

namespace orvik::interop {

// Raises PanicException with the failure's message (or a fixed sentence when
// it carries none).  Aborts if even that cannot be done.
void raise_panic(const std::optional<std::string>& message) noexcept;

template <class Body>
PyObject* boundary_guard(Body&& body) noexcept {
    std::optional<std::string> failure;
    try {
        Result<PyObject*> result = std::forward<Body>(body)();
        if (result.ok()) return result.value();
        try {
            std::move(result).error().raise();
        } catch (...) {
            abort_at_boundary();
        }
        return nullptr;
    } catch (Panic& p) {
        failure = std::move(p.message);
    } catch (const std::exception& e) {
        // Not raised through panic(), so no report has been written yet.
        try {
            failure = e.what();
            report_failure(*failure);
        } catch (...) {
            abort_at_boundary();
        }
    } catch (...) {
        report_failure("unknown failure in native code");
    }
    raise_panic(failure);
    return nullptr;
}

}  // namespace orvik::interop
