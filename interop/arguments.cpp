#include "interop/arguments.hpp"

#include <cstring>
#include <limits>

#include "interop/errors.hpp"
#include "interop/py_ref.hpp"

namespace orvik::interop {
namespace {

[[noreturn]] void type_error(std::string_view function, std::string_view param, const char* wanted,
                             PyObject* obj) {
    throw PythonError::pending(PyExc_TypeError, argument_label(function, param) + " must be " + wanted +
                                                    ", not " + type_qualname(obj));
}

[[noreturn]] void value_error(std::string_view function, std::string_view param, const std::string& what) {
    throw PythonError::pending(PyExc_ValueError, argument_label(function, param) + " " + what);
}

// The object as a Python int, through __index__; TypeError naming the
// parameter for anything that has none (and for bools).
PyRef as_int(std::string_view function, std::string_view param, PyObject* obj) {
    if (is_bool(obj)) type_error(function, param, "an int", obj);
    PyRef value = PyRef::steal(PyNumber_Index(obj));
    if (!value) {
        if (!PyErr_ExceptionMatches(PyExc_TypeError)) throw_python_error();
        PyErr_Clear();
        type_error(function, param, "an int", obj);
    }
    return value;
}

}  // namespace

std::string repr_text(PyObject* obj, std::size_t limit) {
    PyRef repr = PyRef::steal(PyObject_Repr(obj));
    if (!repr) throw_python_error();
    std::string text = text_or(repr.get(), "<unrepresentable object>");
    if (text.size() > limit) text = text.substr(0, limit - 3) + "...";
    return text;
}

std::string float_repr(double value) {
    char* text = PyOS_double_to_string(value, 'r', 0, Py_DTSF_ADD_DOT_0, nullptr);
    if (text == nullptr) throw_python_error();
    std::string result(text);
    PyMem_Free(text);
    return result;
}

std::string argument_label(std::string_view function, std::string_view param) {
    std::string label(function);
    label += "() argument '";
    label += param;
    label += "'";
    return label;
}

bool is_negative(PyObject* integer) {
    const PyRef zero = PyRef::steal(PyLong_FromLong(0));
    if (!zero) throw_python_error();
    const int below = PyObject_RichCompareBool(integer, zero.get(), Py_LT);
    if (below < 0) throw_python_error();
    return below == 1;
}

bool is_bool(PyObject* obj) noexcept {
    if (PyBool_Check(obj)) return true;
    // NumPy's bool is "numpy.bool" (2.x) or "numpy.bool_" (1.x); NumPy need
    // not be imported to tell.
    const char* name = Py_TYPE(obj)->tp_name;
    return std::strcmp(name, "numpy.bool") == 0 || std::strcmp(name, "numpy.bool_") == 0;
}

std::size_t count_argument(std::string_view function, std::string_view param, PyObject* obj,
                           std::size_t at_least) {
    PyRef value = as_int(function, param, obj);
    const std::size_t n = PyLong_AsSize_t(value.get());
    if (n == static_cast<std::size_t>(-1) && PyErr_Occurred()) {
        if (!PyErr_ExceptionMatches(PyExc_OverflowError)) throw_python_error();
        PyErr_Clear();
        const bool negative = is_negative(value.get());
        value_error(function, param, negative ? "must be at least " + std::to_string(at_least) + ", not " +
                                                    repr_text(obj)
                                              : "is too large: " + repr_text(obj));
    }
    if (n < at_least) {
        value_error(function, param, "must be at least " + std::to_string(at_least) + ", not " + repr_text(obj));
    }
    return n;
}

Py_ssize_t index_argument(std::string_view function, std::string_view param, PyObject* obj) {
    PyRef value = as_int(function, param, obj);
    const Py_ssize_t n = PyLong_AsSsize_t(value.get());
    if (n == -1 && PyErr_Occurred()) {
        if (!PyErr_ExceptionMatches(PyExc_OverflowError)) throw_python_error();
        PyErr_Clear();
        value_error(function, param, "is out of range: " + repr_text(obj));
    }
    return n;
}

bool flag_argument(std::string_view function, std::string_view param, PyObject* obj) {
    if (!is_bool(obj)) type_error(function, param, "a bool", obj);
    const int truth = PyObject_IsTrue(obj);
    if (truth < 0) throw_python_error();
    return truth != 0;
}

double real_argument(std::string_view function, std::string_view param, PyObject* obj) {
    if (PyFloat_CheckExact(obj)) return PyFloat_AS_DOUBLE(obj);
    if (is_bool(obj) || PyUnicode_Check(obj) || PyBytes_Check(obj)) type_error(function, param, "a real number", obj);
    const double value = PyFloat_AsDouble(obj);
    if (value == -1.0 && PyErr_Occurred()) {
        if (PyErr_ExceptionMatches(PyExc_OverflowError)) {
            PyErr_Clear();
            value_error(function, param, "is too large for a float: " + repr_text(obj));
        }
        if (!PyErr_ExceptionMatches(PyExc_TypeError)) throw_python_error();
        PyErr_Clear();
        type_error(function, param, "a real number", obj);
    }
    return value;
}

}  // namespace orvik::interop
