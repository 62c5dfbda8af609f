// Internal failures: unexpected conditions that unwind to the boundary guard
// and reach Python as PanicException.
#pragma once

#include <Python.h>

#include <optional>
#include <source_location>
#include <string>

namespace orvik::interop {

// Thrown by an internal failure; caught only by the boundary guard (or by the
// worker pool, which carries it back to the calling thread).
struct Panic {
    std::optional<std::string> message;  // none: a failure that carries no text
};

// Writes the failure report (thread, source location, message) to standard
// error and throws Panic.  Safe to call from any thread.
[[noreturn]] void panic(std::string message,
                        std::source_location where = std::source_location::current());

// Writes the failure report without throwing (for a failure that is carried
// to another thread before it is rethrown).
void report_failure(const std::string& message,
                    std::source_location where = std::source_location::current());

// Marks the calling thread as an unnamed worker for failure reports.
void mark_unnamed_thread() noexcept;

// The process-wide PanicException type (borrowed), created on first use.
// Null with an exception set when it cannot be created.
PyObject* panic_exception_type();
// The type if it has been created already, else null; never creates it.
PyObject* panic_exception_type_if_created() noexcept;

// Writes "uncaught panic at ffi boundary" to standard error and aborts.
[[noreturn]] void abort_at_boundary() noexcept;

}  // namespace orvik::interop
