// The package's kernels for geometries: private functions of orvik._engine
// that orvik.geometry calls with converted buffers.
#pragma once

#include <cstddef>

#include "interop/function_object.hpp"

namespace orvik::engine {

extern const interop::FunctionRecord geometry_kernel_records[];
extern const std::size_t geometry_kernel_count;

}  // namespace orvik::engine
