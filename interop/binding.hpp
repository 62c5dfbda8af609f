// Binding of fast-call arguments to parameter names, and conversion of the
// bound arguments to float64.  Failures throw PythonError.
#pragma once

#include <Python.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <span>
#include <string_view>

#include "interop/errors.hpp"

namespace orvik::interop {

// The parameters of a function: `params` are positional-or-keyword and
// required; `optional` follow them, positional-or-keyword too but with a
// default; `keyword_only` are optional and may only be named.  The slots of
// optional parameters stay null when they are not given.  Slots come in the
// order params, optional, keyword_only.
struct FunctionDescription {
    std::string_view name;                     // Python name; messages add "()"
    std::span<const std::string_view> params;  // required, in order
    std::span<const std::string_view> keyword_only = {};
    std::span<const std::string_view> optional = {};

    std::size_t positional_count() const noexcept { return params.size() + optional.size(); }
    std::size_t slot_count() const noexcept { return positional_count() + keyword_only.size(); }
    std::string_view slot_name(std::size_t slot) const noexcept {
        if (slot < params.size()) return params[slot];
        if (slot < positional_count()) return optional[slot - params.size()];
        return keyword_only[slot - positional_count()];
    }
};

// Places the arguments into `slots` (one per parameter, required ones first;
// borrowed references), which the caller has set to null.  Allocates nothing
// unless binding fails.
void bind_arguments_slow(const FunctionDescription& desc, PyObject* const* args, Py_ssize_t nargs,
                         PyObject* kwnames, PyObject** slots);

namespace detail {

// Index of a compact ASCII keyword among the parameters, or `count` when it
// names none of them.  Inline so that the few names are compared without a call.
inline std::size_t find_plain_keyword(const FunctionDescription& desc, PyObject* keyword) noexcept {
    const std::size_t count = desc.slot_count();
    if (!PyUnicode_IS_COMPACT_ASCII(keyword)) return count;
    const auto* text = static_cast<const char*>(PyUnicode_DATA(keyword));
    const auto size = static_cast<std::size_t>(PyUnicode_GET_LENGTH(keyword));
    for (std::size_t slot = 0; slot < count; ++slot) {
        const std::string_view name = desc.slot_name(slot);
        if (name.size() == size && std::equal(text, text + size, name.data())) return slot;
    }
    return count;
}

// The binding of a call whose keywords are all compact ASCII names of
// parameters that no earlier argument filled; false (with `slots` possibly
// partly filled) for any other call, which the full binder then reports.
inline bool bind_plain_keywords(const FunctionDescription& desc, PyObject* const* args,
                                Py_ssize_t nargs, PyObject* kwnames, PyObject** slots) {
    const std::size_t required = desc.params.size();
    if (nargs > static_cast<Py_ssize_t>(desc.positional_count())) return false;
    for (Py_ssize_t i = 0; i < nargs; ++i) slots[i] = args[i];
    const Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
    for (Py_ssize_t k = 0; k < nkw; ++k) {
        const std::size_t slot = find_plain_keyword(desc, PyTuple_GET_ITEM(kwnames, k));
        if (slot == desc.slot_count() || slots[slot] != nullptr) return false;
        slots[slot] = args[nargs + k];
    }
    for (std::size_t i = 0; i < required; ++i) {
        if (slots[i] == nullptr) return false;
    }
    return true;
}

}  // namespace detail

// Binds a call into `slots` (N = desc.slot_count()).  The common calls take
// no call into the full binder: every required argument by position, or
// plain keywords.  Anything else, errors included, goes through the full
// binder from the start.  Returns the slots, or `args` itself when the call
// was exactly the required arguments by position (no optional one given).
template <std::size_t N>
PyObject* const* bind_arguments(const FunctionDescription& desc, PyObject* const* args,
                                Py_ssize_t nargs, PyObject* kwnames, PyObject* (&slots)[N]) {
    if (kwnames == nullptr && nargs == static_cast<Py_ssize_t>(desc.params.size())) return args;
    if (kwnames == nullptr && nargs > static_cast<Py_ssize_t>(desc.params.size()) &&
        nargs <= static_cast<Py_ssize_t>(desc.positional_count())) {
        for (Py_ssize_t i = 0; i < nargs; ++i) slots[i] = args[i];
        return slots;
    }
    if (kwnames == nullptr || !detail::bind_plain_keywords(desc, args, nargs, kwnames, slots)) {
        std::fill(std::begin(slots), std::end(slots), nullptr);
        bind_arguments_slow(desc, args, nargs, kwnames, slots);
    }
    return slots;
}

// Float conversion: an exact float is read directly; anything else goes
// through the interpreter's own rules.  Throws the interpreter's error as it
// is (not yet named after a parameter).
inline double extract_double(PyObject* obj) {
    if (PyFloat_CheckExact(obj)) return PyFloat_AS_DOUBLE(obj);
    const double value = PyFloat_AsDouble(obj);
    if (value == -1.0 && PyErr_Occurred()) throw_python_error();
    return value;
}

// Rewords a failed conversion of the named parameter: only an exact
// TypeError gains the "argument '{p}': " prefix.
PythonError argument_extraction_error(std::string_view param, PythonError error);

// extract_double, its failure named after the parameter.
inline double extract_argument(std::string_view param, PyObject* obj) {
    if (PyFloat_CheckExact(obj)) return PyFloat_AS_DOUBLE(obj);
    try {
        return extract_double(obj);
    } catch (PythonError& error) {
        throw argument_extraction_error(param, std::move(error));
    }
}

// Binds and converts all required parameters of `desc` to float64, in
// parameter order, stopping at the first that fails.
template <std::size_t N>
std::array<double, N> extract_doubles(const FunctionDescription& desc, PyObject* const* args,
                                      Py_ssize_t nargs, PyObject* kwnames) {
    PyObject* slots[N] = {};
    PyObject* const* bound = bind_arguments(desc, args, nargs, kwnames, slots);
    std::array<double, N> values;
    for (std::size_t i = 0; i < N; ++i) values[i] = extract_argument(desc.params[i], bound[i]);
    return values;
}

}  // namespace orvik::interop
