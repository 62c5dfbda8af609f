// Each submodule's source adds its functions to the submodule, in table order.
// ("register" itself is a reserved word in C++.)
#pragma once

#include <Python.h>

#include "interop/errors.hpp"

namespace orvik::py_distance {
interop::Status register_submodule(PyObject* submodule);
}
namespace orvik::py_geodesic {
interop::Status register_submodule(PyObject* submodule);
}
namespace orvik::py_units {
interop::Status register_submodule(PyObject* submodule);
}
