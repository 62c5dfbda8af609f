// Entry points of the batch distance functions of the distance submodule.
#pragma once

#include <Python.h>

namespace orvik::compat::py_distance {

PyObject* geodesic_distance_batch(PyObject* module, PyObject* const* args, Py_ssize_t nargs,
                                  PyObject* kwnames);
PyObject* great_circle_distance_batch(PyObject* module, PyObject* const* args, Py_ssize_t nargs,
                                      PyObject* kwnames);

}  // namespace orvik::compat::py_distance
