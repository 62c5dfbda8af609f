// Error values: how a failing step hands a Python error back to its caller
// without touching the interpreter's error indicator until the boundary.
#pragma once

#include <Python.h>

#include <string>
#include <utility>
#include <variant>

#include "interop/py_ref.hpp"

namespace orvik::interop {

class ErrorValue {
public:
    // An exception type and message, not yet known to the interpreter.
    static ErrorValue pending(PyObject* type, std::string message) {
        return ErrorValue(Kind::pending, type, std::move(message), PyRef{});
    }
    // An exception object taken from the interpreter.
    static ErrorValue fetched(PyRef exception) {
        return ErrorValue(Kind::fetched, nullptr, {}, std::move(exception));
    }
    // "'{t}' object cannot be converted to '{target}'" as a TypeError; the
    // text is only formatted when the error is raised.
    static ErrorValue type_conversion(PyObject* obj, const char* target) {
        return ErrorValue(Kind::type_conversion, nullptr, target, PyRef::borrow(obj));
    }

    // Sets the interpreter's error indicator from this value.
    void raise() &&;
    // The exception object; raises and fetches a not-yet-raised value.
    PyRef into_exception() &&;

private:
    enum class Kind { pending, fetched, type_conversion };
    ErrorValue(Kind kind, PyObject* type, std::string text, PyRef obj)
        : kind_(kind), type_(type), text_(std::move(text)), obj_(std::move(obj)) {}

    Kind kind_;
    PyObject* type_;  // borrowed: always a static or process-lifetime type
    std::string text_;
    PyRef obj_;
};

// Either a value or an error value.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Result(ErrorValue error) : v_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const noexcept { return v_.index() == 0; }
    T& value() noexcept { return *std::get_if<0>(&v_); }
    ErrorValue&& error() && noexcept { return std::move(*std::get_if<1>(&v_)); }

private:
    std::variant<T, ErrorValue> v_;
};

// Step H: the interpreter's current exception as an error value after a
// failed C-API call.  A PanicException coming back from Python code is not
// returned: the internal failure is resumed (throws Panic).
ErrorValue fetch_error();

// Text of an object for a message: str() as UTF-8, lone surrogates replaced;
// a failing str() is reported as unraisable and a placeholder used.
std::string object_text(PyObject* obj);

// Qualified type name of an object, or a placeholder when unreadable.
std::string type_qualname(PyObject* obj);

}  // namespace orvik::interop

namespace orvik::interop {

// Success, or an error value.
using Status = Result<std::monostate>;
inline Status ok_status() { return std::monostate{}; }

// "PyErr { type: <repr>, value: <repr>, traceback: None | Some(<repr>) }",
// used where an internal failure carries a Python error as its description.
std::string debug_form(PyObject* exception);

}  // namespace orvik::interop
