// orvik.geodesic's functions of whole lines (line_points, path_length,
// polygon_area), and the track and ring measures they are made of, for other
// functions over lines and rings to share.
#pragma once

#include <cstddef>
#include <vector>

#include "core/geodesic.hpp"
#include "core/geodesic_lines.hpp"
#include "engine/function_tables.hpp"
#include "engine/tracks.hpp"

namespace orvik::engine {

extern const ShapedFunction line_functions[];
extern const std::size_t line_function_count;

// The length of every track, on the pool; long tracks are split in parts.
std::vector<double> track_lengths(const core::Geodesic& g, const Tracks& tracks);

// The area and perimeter of every ring, on the pool; long rings are split
// in parts.  Without `perimeter`, the perimeters are NaN and the areas cost
// less.
std::vector<core::RingMeasure> ring_measures(const core::Geodesic& g, const Tracks& rings, bool perimeter = true);

}  // namespace orvik::engine
