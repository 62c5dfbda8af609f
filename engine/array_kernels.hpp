// The package's array kernels, private functions of orvik._engine that the
// Python side calls with converted, broadcast buffers.
#pragma once

#include <cstddef>

#include "interop/function_object.hpp"

namespace orvik::engine {

extern const interop::FunctionRecord array_kernel_records[];
extern const std::size_t array_kernel_count;

}  // namespace orvik::engine
