// Binding of fast-call arguments to parameter names, and conversion of the
// bound arguments to float64.
#pragma once

#include <Python.h>

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "interop/errors.hpp"

namespace orvik::interop {

// Every parameter of every function is positional-or-keyword and required.
struct FunctionDescription {
    std::string_view name;                     // Python name; messages add "()"
    std::span<const std::string_view> params;  // parameter names, in order
};

// Places the arguments into `slots` (one per parameter, borrowed references).
// Allocates nothing unless binding fails.
std::optional<ErrorValue> extract_arguments_fastcall(const FunctionDescription& desc,
                                                     PyObject* const* args, Py_ssize_t nargs,
                                                     PyObject* kwnames, PyObject** slots);

// Float conversion: an exact float is read directly; anything else goes
// through the interpreter's own rules.
inline Result<double> extract_double(PyObject* obj) {
    if (PyFloat_CheckExact(obj)) return PyFloat_AS_DOUBLE(obj);
    const double value = PyFloat_AsDouble(obj);
    if (value == -1.0 && PyErr_Occurred()) return fetch_error();
    return value;
}

// Rewords a failed conversion of the named parameter: only an exact
// TypeError gains the "argument '{p}': " prefix.
ErrorValue argument_extraction_error(std::string_view param, ErrorValue error);

// Binds and converts all parameters of `desc` to float64, in parameter order,
// stopping at the first that fails.
template <std::size_t N>
Result<std::array<double, N>> extract_doubles(const FunctionDescription& desc, PyObject* const* args,
                                              Py_ssize_t nargs, PyObject* kwnames) {
    PyObject* slots[N] = {};
    if (auto error = extract_arguments_fastcall(desc, args, nargs, kwnames, slots)) {
        return std::move(*error);
    }
    std::array<double, N> values;
    for (std::size_t i = 0; i < N; ++i) {
        Result<double> v = extract_double(slots[i]);
        if (!v.ok()) return argument_extraction_error(desc.params[i], std::move(v).error());
        values[i] = v.value();
    }
    return values;
}

}  // namespace orvik::interop
