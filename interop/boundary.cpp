#include "interop/boundary.hpp"

#include <exception>
#include <new>
#include <optional>
#include <string>

#include "interop/errors.hpp"
#include "runtime/failure.hpp"

namespace orvik::interop {
namespace {

PyObject* runtime_error_type() noexcept { return PyExc_RuntimeError; }

void raise_internal_failure(const std::optional<std::string>& message,
                            const InternalFailureReport& report) noexcept {
    try {
        PyObject* type = report.exception_type();
        // A type that cannot be created leaves its own error (MemoryError,
        // as a rule) set, and that is what the caller sees.
        if (type == nullptr) return;
        const std::string& text = message ? *message : std::string(report.without_message);
        PyRef value = PyRef::steal(
            PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
        if (value) PyErr_SetObject(type, value.get());
    } catch (...) {
        PyErr_NoMemory();
    }
}

}  // namespace

const InternalFailureReport runtime_error_report{
    runtime_error_type, "internal failure without a message",
    "not enough memory for this call (an allocation in compiled code failed)"};

void raise_current_exception(const InternalFailureReport& report) noexcept {
    try {
        throw;
    } catch (PythonError& error) {
        std::move(error).raise();
    } catch (InternalFailure& failure) {
        raise_internal_failure(failure.message, report);
    } catch (const std::bad_alloc&) {
        // The message is made only if memory allows; MemoryError stays.
        if (report.out_of_memory == nullptr) {
            PyErr_NoMemory();
        } else {
            PyErr_SetString(PyExc_MemoryError, report.out_of_memory);
            if (!PyErr_ExceptionMatches(PyExc_MemoryError)) {
                PyErr_Clear();
                PyErr_NoMemory();
            }
        }
    } catch (const std::exception& e) {
        // Not raised through fail(), so no report has been written yet.
        try {
            const std::string message = e.what();
            report_failure(message);
            raise_internal_failure(message, report);
        } catch (...) {
            PyErr_NoMemory();
        }
    } catch (...) {
        try {
            report_failure("unknown failure in native code");
        } catch (...) {
        }
        raise_internal_failure(std::nullopt, report);
    }
}

}  // namespace orvik::interop
