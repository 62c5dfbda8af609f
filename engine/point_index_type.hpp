// orvik._engine.PointIndex: the core's nearest-neighbour index as a Python
// type, for orvik.neighbors.PointIndex to wrap.
#pragma once

#include <Python.h>

namespace orvik::engine {

// Creates the type and adds it to `module` as "PointIndex".  Throws
// PythonError.
void add_point_index_type(PyObject* module);

}  // namespace orvik::engine
