// Turning computed values into new Python objects.  A result object that the
// interpreter cannot create is an internal failure.
#pragma once

#include <Python.h>

#include <initializer_list>
#include <string_view>
#include <utility>

#include "interop/errors.hpp"

namespace orvik::interop {

// Prints the interpreter's pending error and fails with
// "Python API call failed".
[[noreturn]] void python_api_call_failed();

inline PyObject* make_float(double value) {
    PyObject* obj = PyFloat_FromDouble(value);
    if (obj == nullptr) python_api_call_failed();
    return obj;
}

// A new tuple of two or three floats.
PyObject* make_float_tuple(std::initializer_list<double> values);

struct DictEntry {
    std::string_view key;
    double value;
};

// A new dict whose keys are inserted in the order given.
Result<PyObject*> make_float_dict(std::initializer_list<DictEntry> entries);

}  // namespace orvik::interop
