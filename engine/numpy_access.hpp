// NumPy's C API as the package reaches it: imported on the first array
// argument, never at import, and missing NumPy said plainly.
#pragma once

#include "interop/numpy_api.hpp"

namespace orvik::engine {

namespace numpy = interop::numpy;

// The table, or ModuleNotFoundError saying what to install (RuntimeError
// late in interpreter shutdown, when nothing can be imported any more).
numpy::Api numpy_api();

}  // namespace orvik::engine
