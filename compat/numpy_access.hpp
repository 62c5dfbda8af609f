// NumPy's C API as orvik._orvik reaches it: a table that cannot be had is an
// internal failure with this module's own text.
#pragma once

#include "interop/numpy_api.hpp"

namespace orvik::compat {

namespace numpy = interop::numpy;

// numpy::api(), or an internal failure ("Failed to access NumPy array API
// capsule: ...") when the table cannot be had; the next use tries again.
numpy::Api numpy_api();

}  // namespace orvik::compat
