// orvik.geodesic.distance_to_line's entry point (its row is among the line
// functions), and a count of the inverse problems it has solved.
#pragma once

#include <Python.h>

namespace orvik::engine {

PyObject* distance_to_line(PyObject* module, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

// _distance_to_line_inverses(): the inverse problems every call of
// distance_to_line in this process has solved, for benchmarks and tests.
PyObject* distance_to_line_inverses(PyObject* module, PyObject* unused);

}  // namespace orvik::engine
