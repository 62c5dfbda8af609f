// Failures inside native code.  They travel as C++ exceptions, the one way
// errors travel in this code base, and the boundary of each extension module
// translates them into Python exceptions in exactly one place.  Nothing here
// knows Python, so the runtime and the geodesy can use them too.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace orvik {

// An unexpected condition: a broken invariant rather than bad input.  Its
// report has been written to standard error where it happened.
struct InternalFailure {
    std::optional<std::string> message;  // none: a failure that carries no text
};

// Writes the failure report (thread, source location, message) to standard
// error.  Safe to call from any thread.  Plain builtins rather than
// std::source_location, which older compilers lack.
void report_failure(const std::string& message, const char* file = __builtin_FILE(),
                    int line = __builtin_LINE());

// Reports, then throws InternalFailure carrying the message.
[[noreturn]] void fail(std::string message, const char* file = __builtin_FILE(),
                       int line = __builtin_LINE());

// Marks the calling thread as an unnamed worker for failure reports.
void mark_unnamed_thread() noexcept;

}  // namespace orvik

namespace orvik::runtime {

// A piece of a parallel map failed at `index`, its first failing element.
// The piece has written the report already.
struct ElementFailure {
    std::size_t index;
    std::string message;
};

// The thread that waits for a map asked it to stop.
struct Cancelled {};

// Worker threads could not be started.  `os_error` is the error number of the
// failed start; 0 when creation failed on an earlier call and is not tried
// again.
struct PoolUnavailable {
    int os_error;
};

}  // namespace orvik::runtime
