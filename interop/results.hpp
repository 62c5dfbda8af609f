// Turning computed values into new Python objects.  An object the interpreter
// cannot create (no memory) throws its error, MemoryError as a rule.
#pragma once

#include <Python.h>

#include <initializer_list>
#include <string_view>

#include "interop/errors.hpp"

namespace orvik::interop {

inline PyObject* make_float(double value) {
    PyObject* obj = PyFloat_FromDouble(value);
    if (obj == nullptr) throw_python_error();
    return obj;
}

// A new tuple of two or three floats.
PyObject* make_float_tuple(std::initializer_list<double> values);

struct DictEntry {
    std::string_view key;
    double value;
};

// A new dict whose keys are inserted in the order given.
PyObject* make_float_dict(std::initializer_list<DictEntry> entries);

}  // namespace orvik::interop
