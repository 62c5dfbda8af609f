// The package's kernels over whole lines, tracks and rings: private functions
// of orvik._engine that orvik.geodesic calls with converted buffers.
#pragma once

#include <cstddef>

#include "interop/function_object.hpp"

namespace orvik::engine {

extern const interop::FunctionRecord line_kernel_records[];
extern const std::size_t line_kernel_count;

}  // namespace orvik::engine
