// The package's elementwise functions, each declared once as a row of its
// module's table.  A row gives the function's name, its array-like
// parameters, its docstring, its kernel and the fields of its result; from it
// come the entry point (numbers computed directly, array-likes converted and
// broadcast once, here, in compiled code), the Python-visible signature, and
// the type stubs (scripts/generate_stubs.py reads the tables through
// orvik._engine._function_table()).
#pragma once

#include <Python.h>

#include <atomic>
#include <cstddef>
#include <span>
#include <string_view>

#include "engine/kernels.hpp"

namespace orvik::engine {

// Where a field of a result comes from.
enum class Source : unsigned char {
    column,    // the kernel's output column `index`
    argument,  // the argument `index`, echoed (broadcast) as it was converted
    zero,      // a fixed 0.0, kept for compatibility
};

struct Field {
    const char* name;
    Source source;
    unsigned index = 0;
};

// How the fields come back.
enum class Form : unsigned char {
    value,   // one field: a float, or an array
    tuple,   // a tuple of the fields
    dict,    // a dict of the fields, in their order
    chosen,  // a dict of the kernel columns named by `outputs=`, in the caller's order; the
             // row's fields are the default choice
};

// How the arguments combine.
enum class Layout : unsigned char {
    broadcast,  // by NumPy's rules, to the result's shape
    outer,      // two sets of points, the first two and the last two arguments, each
                // one-dimensional (a number being one point): results (n, m)
};

struct Function {
    const char* module;  // the package module that offers it: its __module__, for pickle
    const char* name;
    std::span<const std::string_view> params;  // positional-or-keyword, every one array-like
    const char* description;                   // the docstring after the signature line
    Kernel kernel;
    Form form;
    std::span<const Field> fields;
    // Numbers in are computed directly, without NumPy, in the time a call
    // of a C function of numbers takes; false for the functions that read
    // every argument as NumPy does (the _batch and _matrix functions).
    bool numbers_first = true;
    Layout layout = Layout::broadcast;
};

// The keyword-only parameters of a function, from its kernel and form:
// "outputs" for a chosen form, then "ellipsoid" or "radius".
std::span<const std::string_view> keyword_only(const Function& f) noexcept;

// The entry point of any row.
PyObject* call(const Function& f, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept;

}  // namespace orvik::engine
