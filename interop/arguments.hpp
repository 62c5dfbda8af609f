// One rule for each kind of parameter that is not an array: counts and
// indices are ints (NumPy's integers too, anything with __index__), flags are
// bools (NumPy's too), reals are numbers.  A bool is never a number or a
// count.  Every error names the function and the parameter and shows the
// value as repr() does.  Failures throw PythonError.
#pragma once

#include <Python.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace orvik::interop {

// repr() of an object for a message, shortened to `limit` characters (an
// int of 400 digits is not shown whole).
std::string repr_text(PyObject* obj, std::size_t limit = 80);

// repr() of a float: "0.1", "-1e-09", "nan".
std::string float_repr(double value);

// "{function}() argument '{param}'": how every message about an argument
// starts.
std::string argument_label(std::string_view function, std::string_view param);

// An int (or an object with __index__, but not a bool) of at least
// `at_least`: TypeError for other kinds, ValueError naming the value when it
// is smaller or does not fit a size_t.
std::size_t count_argument(std::string_view function, std::string_view param, PyObject* obj,
                           std::size_t at_least = 0);

// An int (or __index__, not a bool) that fits a Py_ssize_t, of either sign.
Py_ssize_t index_argument(std::string_view function, std::string_view param, PyObject* obj);

// True or False (or NumPy's bool); TypeError for anything else.
bool flag_argument(std::string_view function, std::string_view param, PyObject* obj);

// A real number: a float, an int, or an object with __float__ or __index__,
// but not a bool or a string.  An int too large for a float is a ValueError.
double real_argument(std::string_view function, std::string_view param, PyObject* obj);

// Whether a Python int is below zero.  Throws PythonError.
bool is_negative(PyObject* integer);

// True for True, False and NumPy's bools.
bool is_bool(PyObject* obj) noexcept;

}  // namespace orvik::interop
