#include "interop/boundary.hpp"

#include <exception>
#include <new>
#include <optional>
#include <string>

#include "interop/errors.hpp"
#include "interop/panic.hpp"
#include "runtime/failure.hpp"
#include "src/contract.hpp"

namespace orvik::interop {
namespace {

void raise_internal_failure(const std::optional<std::string>& message,
                            InternalFailureStyle style) noexcept {
    try {
        PyObject* type = style == InternalFailureStyle::panic_exception ? panic_exception_type()
                                                                        : PyExc_RuntimeError;
        // A type that cannot be created leaves its own error (MemoryError,
        // as a rule) set, and that is what the caller sees.
        if (type == nullptr) return;
        const std::string& text = message ? *message : std::string(contract::panic_without_message);
        PyRef value = PyRef::steal(
            PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
        if (value) PyErr_SetObject(type, value.get());
    } catch (...) {
        PyErr_NoMemory();
    }
}

}  // namespace

void raise_current_exception(InternalFailureStyle style) noexcept {
    try {
        throw;
    } catch (PythonError& error) {
        std::move(error).raise();
    } catch (InternalFailure& failure) {
        raise_internal_failure(failure.message, style);
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& e) {
        // Not raised through fail(), so no report has been written yet.
        try {
            const std::string message = e.what();
            report_failure(message);
            raise_internal_failure(message, style);
        } catch (...) {
            PyErr_NoMemory();
        }
    } catch (...) {
        try {
            report_failure("unknown failure in native code");
        } catch (...) {
        }
        raise_internal_failure(std::nullopt, style);
    }
}

}  // namespace orvik::interop
