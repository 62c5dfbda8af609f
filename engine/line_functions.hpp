// The functions of whole lines (line_points of geodesics and rhumb lines,
// path_length, polygon_area), and the track and ring measures they are made
// of, for other functions over lines and rings to share.
#pragma once

#include <Python.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/geodesic.hpp"
#include "core/geodesic_lines.hpp"
#include "core/rhumb.hpp"
#include "engine/function_tables.hpp"
#include "engine/tracks.hpp"

namespace orvik::engine {

extern const ShapedFunction line_functions[];
extern const std::size_t line_function_count;

// The edges of a function's tracks or rings from its `edges=` argument
// ("geodesic", the default when null, or "rhumb") and its `ellipsoid=`, the
// solver held for as long as this lives.  Throws TypeError or ValueError
// naming `edges` for anything else.
class EdgesOf {
public:
    EdgesOf(std::string_view function, PyObject* edges, PyObject* ellipsoid);
    const core::Edges& edges() const noexcept { return *edges_; }

private:
    std::shared_ptr<const core::Geodesic> geodesic_;
#if ORVIK_HAVE_RHUMB
    std::shared_ptr<const core::Rhumb> rhumb_;
#endif
    std::optional<core::Edges> edges_;
};

// The length of every track, on the pool; long tracks are split in parts.
// A geodesic solver stands for its geodesics.
std::vector<double> track_lengths(const core::Edges& edges, const Tracks& tracks);

// The area and perimeter of every ring, on the pool; long rings are split
// in parts.
std::vector<core::RingMeasure> ring_measures(const core::Edges& edges, const Tracks& rings);

}  // namespace orvik::engine
