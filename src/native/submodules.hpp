// Each submodule's source adds its functions to the submodule, in table order.
// ("register" itself is a reserved word in C++.)
#pragma once

#include <Python.h>

namespace orvik::native::py_distance {
void register_submodule(PyObject* submodule);
}
namespace orvik::native::py_geodesic {
void register_submodule(PyObject* submodule);
}
namespace orvik::native::py_units {
void register_submodule(PyObject* submodule);
}
