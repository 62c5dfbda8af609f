#include "interop/results.hpp"

namespace orvik::interop {

PyObject* make_float_tuple(std::initializer_list<double> values) {
    PyRef items[3];
    std::size_t count = 0;
    for (double v : values) items[count++] = PyRef::steal(make_float(v));
    PyObject* tuple = PyTuple_New(static_cast<Py_ssize_t>(count));
    if (tuple == nullptr) throw_python_error();
    for (std::size_t i = 0; i < count; ++i) {
        PyTuple_SET_ITEM(tuple, static_cast<Py_ssize_t>(i), items[i].release());
    }
    return tuple;
}

PyObject* make_float_dict(std::span<PyObject* const> keys, std::span<const double> values) {
    PyRef dict = PyRef::steal(PyDict_New());
    if (!dict) throw_python_error();
    for (std::size_t i = 0; i < values.size(); ++i) {
        PyRef value = PyRef::steal(make_float(values[i]));
        if (PyDict_SetItem(dict.get(), keys[i], value.get()) < 0) throw_python_error();
    }
    return dict.release();
}

}  // namespace orvik::interop
