// Result arrays over buffers this module allocated: the array's base is a
// small holder object (type "PySliceContainer") that frees the buffer when
// the last array or view using it goes away.
#pragma once

#include <Python.h>

#include "compat/float_vector.hpp"

namespace orvik::compat {

// A new one-dimensional float64 NumPy array of the vector's length whose
// storage is the vector's own buffer; nothing is copied.  The buffer is
// freed on every failing path.
PyObject* into_pyarray(FloatVector&& values);

}  // namespace orvik::compat
