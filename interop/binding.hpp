// Binding of fast-call arguments to parameter names, and conversion of the
// bound arguments to float64.
#pragma once

#include <Python.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
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

namespace detail {

// The binding of a call whose keywords are all compact ASCII names of
// parameters that no earlier argument filled; false (with `slots` possibly
// partly filled) for any other call, which the full binder then reports.
// Inline so that the few parameter names are compared without a call.
template <std::size_t N>
bool bind_plain_keywords(const FunctionDescription& desc, PyObject* const* args, Py_ssize_t nargs,
                         PyObject* kwnames, PyObject** slots) {
    if (nargs > static_cast<Py_ssize_t>(N)) return false;
    for (Py_ssize_t i = 0; i < nargs; ++i) slots[i] = args[i];
    const Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
    for (Py_ssize_t k = 0; k < nkw; ++k) {
        PyObject* keyword = PyTuple_GET_ITEM(kwnames, k);
        if (!PyUnicode_IS_COMPACT_ASCII(keyword)) return false;
        const auto* text = static_cast<const char*>(PyUnicode_DATA(keyword));
        const auto size = static_cast<std::size_t>(PyUnicode_GET_LENGTH(keyword));
        std::size_t slot = 0;
        while (slot < N && !(desc.params[slot].size() == size &&
                             std::equal(text, text + size, desc.params[slot].data()))) {
            ++slot;
        }
        if (slot == N || slots[slot] != nullptr) return false;
        slots[slot] = args[nargs + k];
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (slots[i] == nullptr) return false;
    }
    return true;
}

}  // namespace detail

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
    PyObject* const* bound = args;
    // The common calls bind without a call into the full binder: every
    // argument by position (bound in order), or plain keywords.  Anything
    // else, errors included, goes through the full binder from the start.
    if (kwnames != nullptr || nargs != static_cast<Py_ssize_t>(N)) {
        if (kwnames == nullptr || !detail::bind_plain_keywords<N>(desc, args, nargs, kwnames, slots)) {
            std::fill(std::begin(slots), std::end(slots), nullptr);
            if (auto error = extract_arguments_fastcall(desc, args, nargs, kwnames, slots)) {
                return std::move(*error);
            }
        }
        bound = slots;
    }
    std::array<double, N> values;
    for (std::size_t i = 0; i < N; ++i) {
        Result<double> v = extract_double(bound[i]);
        if (!v.ok()) return argument_extraction_error(desc.params[i], std::move(v).error());
        values[i] = v.value();
    }
    return values;
}

}  // namespace orvik::interop
