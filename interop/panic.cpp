#include "interop/panic.hpp"

#include <pthread.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace orvik::interop {
namespace {

thread_local bool unnamed_thread = false;

constexpr const char panic_doc[] =
    "\nThe exception raised when native code called from Python panics.\n\n"
    "Like SystemExit, this exception is derived from BaseException so that\n"
    "it will typically propagate all the way through the stack and cause the\n"
    "Python interpreter to exit.\n";

std::atomic<PyObject*> panic_type{nullptr};

}  // namespace

void mark_unnamed_thread() noexcept { unnamed_thread = true; }

void report_failure(const std::string& message, std::source_location where) {
    char name[32] = "<unnamed>";
    if (!unnamed_thread && pthread_getname_np(pthread_self(), name, sizeof name) != 0) {
        std::snprintf(name, sizeof name, "<unnamed>");
    }
    // One fprintf so reports from several threads do not interleave.
    std::fprintf(stderr, "thread '%s' panicked at %s:%u:\n%s\n", name, where.file_name(),
                 static_cast<unsigned>(where.line()), message.c_str());
    std::fflush(stderr);
}

void panic(std::string message, std::source_location where) {
    report_failure(message, where);
    throw Panic{std::move(message)};
}

PyObject* panic_exception_type_if_created() noexcept {
    return panic_type.load(std::memory_order_acquire);
}

PyObject* panic_exception_type() {
    if (PyObject* t = panic_type.load(std::memory_order_acquire)) return t;
    PyObject* created = PyErr_NewExceptionWithDoc("pyo3_runtime.PanicException", panic_doc,
                                                  PyExc_BaseException, nullptr);
    if (created == nullptr) return nullptr;
    // Creating the type can run Python code and let another thread in; the
    // first value stored is kept.
    PyObject* expected = nullptr;
    if (!panic_type.compare_exchange_strong(expected, created, std::memory_order_acq_rel)) {
        Py_DECREF(created);
        return expected;
    }
    return created;
}

void abort_at_boundary() noexcept {
    std::fputs("uncaught panic at ffi boundary\n", stderr);
    std::fflush(stderr);
    std::abort();
}

}  // namespace orvik::interop
