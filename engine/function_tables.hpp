// The tables of the package's elementwise functions, one per module, and
// the entry point made for each row.
#pragma once

#include <Python.h>

#include <array>
#include <cstddef>
#include <span>
#include <utility>

#include "engine/elementwise.hpp"
#include "interop/function_object.hpp"

namespace orvik::engine {

struct FunctionTable {
    std::span<const Function> rows;
    // One per row: a fast-call entry, or a no-argument one for a row without
    // parameters.
    std::span<const PyCFunction> entries;
};

extern const FunctionTable distance_functions;  // orvik.distance
extern const FunctionTable geodesic_functions;  // orvik.geodesic: the problems and the constants
extern const FunctionTable units_functions;     // orvik.units
#if ORVIK_HAVE_RHUMB
extern const FunctionTable rhumb_functions;  // orvik.rhumb
#endif

// Each row's own entry point: a function per row, so that the function
// object's self stays the module (builtins pickle by name only then).
template <const Function* Rows, std::size_t I>
PyObject* fastcall_entry(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return call(Rows[I], args, nargs, kwnames);
}

template <const Function* Rows, std::size_t I>
PyObject* noargs_entry(PyObject*, PyObject*) {
    return call(Rows[I], nullptr, 0, nullptr);
}

// A keyword-only parameter of a function with an entry point of its own:
// its default and its type, as the signature and the stubs show them.
struct Keyword {
    std::string_view name;
    const char* default_text;
    const char* stub_type;
};

// A function whose results are not one value per element (points along
// lines, lengths of tracks, areas of rings), with an entry point of its own;
// declared here for its signature, docstring and stubs.
struct ShapedFunction {
    const char* module;
    const char* name;
    std::span<const std::string_view> params;
    std::span<const Keyword> keywords;
    const char* description;
    PyCFunction entry;
    const char* param_stub;    // the stub type of every parameter
    const char* returns_stub;  // the stub type of the result
};

template <const Function* Rows, std::size_t... I>
std::array<PyCFunction, sizeof...(I)> entries_of(std::index_sequence<I...>) {
    return {(Rows[I].params.empty() ? noargs_entry<Rows, I> : interop::fastcall(fastcall_entry<Rows, I>))...};
}

}  // namespace orvik::engine
