// The engine's private functions for orvik.geometry: ring and track
// measures over flat columns cut by offsets, densifying edges, and geodesic
// circles.
#pragma once

#include <cstddef>

#include "engine/function_tables.hpp"

namespace orvik::engine {

extern const ShapedFunction geometry_functions[];
extern const std::size_t geometry_function_count;

}  // namespace orvik::engine
