// Python errors as C++ exceptions.  A failing step throws; the boundary of
// the extension module (interop/boundary.hpp) is the one place that turns what
// was thrown into the interpreter's exception.
#pragma once

#include <Python.h>

#include <string>
#include <utility>

#include "interop/py_ref.hpp"

namespace orvik::interop {

class PythonError {
public:
    // An exception type and message, not yet known to the interpreter:
    // raised with PyErr_SetObject, so the interpreter chains it to the
    // exception being handled, as it does for an error raised in Python.
    static PythonError pending(PyObject* type, std::string message) {
        return PythonError(Kind::pending, type, std::move(message), PyRef{});
    }
    // An exception object taken from the interpreter; raised as it is.
    static PythonError fetched(PyRef exception) {
        return PythonError(Kind::fetched, nullptr, {}, std::move(exception));
    }
    // "'{t}' object cannot be converted to '{target}'" as a TypeError; the
    // text is only formatted when the error is raised.
    static PythonError type_conversion(PyObject* obj, const char* target) {
        return PythonError(Kind::type_conversion, nullptr, target, PyRef::borrow(obj));
    }

    // C++ copies a thrown object when it is rethrown: this happens only on
    // the thread that threw it, which holds the interpreter lock.
    PythonError(const PythonError& other)
        : kind_(other.kind_), type_(other.type_), text_(other.text_),
          obj_(PyRef::borrow(other.obj_.get())) {}
    PythonError(PythonError&&) noexcept = default;
    PythonError& operator=(const PythonError&) = delete;

    // Sets the interpreter's error indicator from this error.  If even that
    // needs memory that is not there, MemoryError is set instead.
    void raise() && noexcept;
    // The exception object; raises and fetches one not raised yet.
    PyRef into_exception() &&;

private:
    enum class Kind { pending, fetched, type_conversion };
    PythonError(Kind kind, PyObject* type, std::string text, PyRef obj)
        : kind_(kind), type_(type), text_(std::move(text)), obj_(std::move(obj)) {}

    Kind kind_;
    PyObject* type_;  // borrowed: always a static or process-lifetime type
    std::string text_;
    PyRef obj_;
};

// The interpreter's current exception after a failed C-API call, taken off
// the indicator.  A SystemError when none is set.  The exception is first
// shown to the hook, if one is set (see below).
PythonError fetch_error();

// A module whose internal failures can travel through Python code as an
// exception of its own may set a hook that sees every exception fetch_error
// takes: it throws to resume the failure such an exception carries, or
// returns to let the exception be returned as an error.  Set once, at module
// initialisation; each module has its own copy of this layer.
using FetchedExceptionHook = void (*)(PyObject* exception);
void set_fetched_exception_hook(FetchedExceptionHook hook) noexcept;

// str() of an object as UTF-8 (lone surrogates replaced), or `fallback` when
// str() fails.
std::string text_or(PyObject* obj, const char* fallback);

// Throws fetch_error().
[[noreturn]] void throw_python_error();

// Text of an object for a message: str() as UTF-8, lone surrogates replaced;
// a failing str() is reported as unraisable and a placeholder used.
std::string object_text(PyObject* obj);

// Qualified type name of an object, or a placeholder when unreadable.
std::string type_qualname(PyObject* obj);

// "PyErr { type: <repr>, value: <repr>, traceback: None | Some(<repr>) }",
// used where an internal failure carries a Python error as its description.
std::string debug_form(PyObject* exception);

}  // namespace orvik::interop
