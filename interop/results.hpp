// Turning computed values into new Python objects.  An object the interpreter
// cannot create (no memory) throws its error, MemoryError as a rule.
#pragma once

#include <Python.h>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>

#include "interop/errors.hpp"

namespace orvik::interop {

inline PyObject* make_float(double value) {
    PyObject* obj = PyFloat_FromDouble(value);
    if (obj == nullptr) throw_python_error();
    return obj;
}

// A new tuple of two or three floats.
PyObject* make_float_tuple(std::initializer_list<double> values);

// New interned str objects of `names`, for a caller to keep in a
// function-local static for the life of the process (as the modules
// themselves are kept), so that building a dict costs its values alone.
// Throws on failure, and a static's initialisation is then tried again.
template <std::size_t N>
std::array<PyObject*, N> interned(const char* const (&names)[N]) {
    std::array<PyObject*, N> keys{};
    for (std::size_t i = 0; i < N; ++i) {
        keys[i] = PyUnicode_InternFromString(names[i]);
        if (keys[i] == nullptr) {
            for (std::size_t j = 0; j < i; ++j) Py_DECREF(keys[j]);
            throw_python_error();
        }
    }
    return keys;
}

// A new dict of the first values.size() keys, inserted in that order.
PyObject* make_float_dict(std::span<PyObject* const> keys, std::span<const double> values);

}  // namespace orvik::interop
