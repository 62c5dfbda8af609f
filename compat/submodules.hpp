// Each submodule's source adds its functions to the submodule, in table order.
// ("register" itself is a reserved word in C++.)
#pragma once

#include <Python.h>

namespace orvik::compat::py_distance {
void register_submodule(PyObject* submodule);
}
namespace orvik::compat::py_geodesic {
void register_submodule(PyObject* submodule);
}
namespace orvik::compat::py_units {
void register_submodule(PyObject* submodule);
}
