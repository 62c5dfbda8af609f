// The functions of orvik._export, the package's private extension module.
#pragma once

#include <Python.h>

namespace orvik::exported {

// rebind(function, module): a new builtin function object that shares the
// given builtin's method definition and __self__, with __module__ set to
// `module`.  Calls go through the same entry point; only the name under
// which pickle finds the function changes.
PyObject* rebind(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept;

// geodesic_distance_into(out, lat1, lon1, lat2, lon2) and the great-circle
// twin: out[i] = distance(lat1[i], lon1[i], lat2[i], lon2[i]) for every
// index i of `out`.  All five operands are float64 buffers of one shape with
// any strides (0 for a broadcast axis); `out` must be writable.  Runs on the
// worker pool without the interpreter lock and returns None.
PyObject* geodesic_distance_into(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                 PyObject* kwnames) noexcept;
PyObject* great_circle_distance_into(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                     PyObject* kwnames) noexcept;

}  // namespace orvik::exported
