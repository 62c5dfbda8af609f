// The functions of whole lines: points along geodesics (orvik.geodesic) and
// rhumb lines (orvik.rhumb), the lengths of tracks and the areas of rings
// with either kind of edge.  The work is split over the
// pool: points of lines one by one (a long line is shared by several
// threads), and tracks and rings in the parts core/ defines for them, joined
// in order afterwards, so that a result does not depend on the number of
// threads.
#include "engine/line_functions.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geodesic_lines.hpp"
#include "engine/array_argument.hpp"
#include "engine/array_run.hpp"
#include "engine/broadcast.hpp"
#include "engine/ellipsoid.hpp"
#include "engine/line_distance_function.hpp"
#include "engine/numpy_access.hpp"
#include "engine/tracks.hpp"
#include "interop/arguments.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "interop/results.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;

// Rough nanoseconds per unit of work on one core, for deciding what is worth
// the pool and how long pieces may be.
constexpr double edge_ns = 850;        // one edge of a track: a distance
constexpr double ring_edge_ns = 1000;  // one edge of a ring: distance and area

// A new float64 array of `shape` plus, when `extra` is given, one more axis.
PyRef new_array(const Shape& shape, std::optional<std::size_t> extra = std::nullopt) {
    Shape full = shape;
    if (extra) full.extent[full.ndim++] = static_cast<Py_intptr_t>(*extra);
    PyRef array = PyRef::steal(numpy_api().empty(numpy::NPY_DOUBLE, full.ndim, full.extent.data()));
    if (!array) throw_python_error();
    return array;
}

double* doubles(PyObject* array) noexcept { return reinterpret_cast<double*>(numpy::fields(array).data); }

// A float for one value (a 0-d result), else the array.
PyObject* as_result(PyRef array) {
    if (numpy::fields(array.get()).nd == 0) return interop::make_float(doubles(array.get())[0]);
    return array.release();
}

// --- points along lines -----------------------------------------------------------

constexpr std::string_view line_params[] = {"lat1", "lon1", "lat2", "lon2"};

// The kinds of line that line_points draws: each resolves its solver from
// the keyword-only arguments after n, spacing and include_ends, holds it for
// the call, and tells a line's length and what its points cost.
struct GeodesicLines {
    using Path = core::GeodesicPath;
    static constexpr std::string_view keywords[] = {"n", "spacing", "include_ends", "ellipsoid"};
    static constexpr double position_ns = 100;  // one point along a line
    static constexpr double line_ns = 1300;     // setting a line up: an inverse problem

    GeodesicLines(std::string_view function, PyObject* const* model) : held(resolve_ellipsoid(function, model[0])) {}
    const core::Geodesic& solver() const noexcept { return *held; }
    double length(const std::array<double, 4>& e) const noexcept { return held->inverse(e[0], e[1], e[2], e[3]).s12; }

    std::shared_ptr<const core::Geodesic> held;
};

#if ORVIK_HAVE_RHUMB
struct RhumbLines {
    using Path = core::RhumbPath;
    static constexpr std::string_view keywords[] = {"n", "spacing", "include_ends", "ellipsoid", "exact"};
    static constexpr double position_ns = 250;
    static constexpr double line_ns = 500;

    RhumbLines(std::string_view function, PyObject* const* model)
        : held(resolve_rhumb(function, model[0],
                             model[1] != nullptr && interop::flag_argument(function, "exact", model[1]))) {}
    const core::Rhumb& solver() const noexcept { return *held; }
    double length(const std::array<double, 4>& e) const noexcept { return held->distance(e[0], e[1], e[2], e[3]); }

    std::shared_ptr<const core::Rhumb> held;
};
#endif

// The number of equal steps of about `spacing` metres along the one line of
// `length` metres: its length over `spacing`, rounded half to even, and at
// least one.
std::size_t steps_along(std::string_view name, const Shape& shape, double length, PyObject* spacing) {
    const std::string prefix = std::string(name) + "()";
    if (shape.ndim != 0) {
        throw PythonError::pending(PyExc_ValueError, prefix + ": with 'spacing', the endpoints must be numbers "
                                                              "(one line), not shape " + shape.text());
    }
    const double step = interop::real_argument(name, "spacing", spacing);
    if (!(step > 0)) {
        throw PythonError::pending(PyExc_ValueError, prefix + " argument 'spacing' must be a positive number of "
                                                              "metres, not " + interop::repr_text(spacing));
    }
    if (!std::isfinite(length)) {
        throw PythonError::pending(PyExc_ValueError, prefix + ": the line has no length to divide (a NaN or "
                                                              "infinite endpoint, or a latitude beyond 90)");
    }
    const double steps = length / step;
    if (steps >= 0x1p53) {  // far more points than any memory holds
        throw PythonError::pending(PyExc_ValueError, prefix + ": 'spacing' of " + interop::repr_text(spacing) +
                                                         " m makes too many points of a line of " +
                                                         std::to_string(length) + " m");
    }
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::nearbyint(steps)));
}

std::size_t points_per_line(std::string_view name, PyObject* n, bool include_ends) {
    const Py_ssize_t count = interop::index_argument(name, "n", n);
    if (count < 0 || (include_ends && count == 1)) {
        const std::string least = include_ends ? "2 (or 0) when include_ends is true" : "0";
        throw PythonError::pending(PyExc_ValueError, std::string(name) + "() argument 'n' must be at least " + least +
                                                         ", not " + std::to_string(count));
    }
    return static_cast<std::size_t>(count);
}

// line_points of either kind of line: the same arguments, rules and split
// over the pool, the lines drawn by Lines::Path.
template <class Lines>
PyObject* points_along(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    static constexpr interop::FunctionDescription desc{"line_points", line_params, Lines::keywords};
    const std::string_view name = desc.name;
    PyObject* slots[4 + std::size(Lines::keywords)] = {};
    PyObject* const* a = interop::bind_arguments(desc, args, nargs, kwnames, slots);
    PyObject* const* options = slots + 4;  // all null when `a` is `args`: nothing was named
    PyObject* n = options[0] == Py_None ? nullptr : options[0];
    PyObject* spacing = options[1] == Py_None ? nullptr : options[1];
    if ((n == nullptr) == (spacing == nullptr)) {
        throw PythonError::pending(PyExc_ValueError, std::string(name) + "(): give exactly one of 'n' and 'spacing'");
    }
    const bool include_ends = options[2] ? interop::flag_argument(name, "include_ends", options[2]) : true;
    std::vector<ArrayArgument> ends;
    ends.reserve(4);
    for (std::size_t k = 0; k < 4; ++k) ends.emplace_back(name, line_params[k], a[k]);
    const Shape shape = broadcast_shape(name, ends, line_params);
    const Lines lines_of(name, options + 3);

    std::size_t count = 0;
    if (spacing != nullptr) {
        std::array<double, 4> values{};
        if (shape.ndim == 0) {
            for (std::size_t k = 0; k < 4; ++k) std::memcpy(&values[k], ends[k].data(), sizeof(double));
        }
        const std::size_t steps = steps_along(name, shape, shape.ndim == 0 ? lines_of.length(values) : 0.0, spacing);
        count = include_ends ? steps + 1 : steps - 1;
    } else {
        count = points_per_line(name, n, include_ends);
    }
    const std::size_t lines = shape.size();
    if (count != 0 && lines > std::numeric_limits<std::size_t>::max() / count / sizeof(double)) {
        throw std::bad_alloc();
    }
    PyRef lats = new_array(shape, count);
    PyRef lons = new_array(shape, count);
    const std::size_t total = lines * count;
    if (total != 0) {
        std::array<std::array<std::ptrdiff_t, runtime::max_dims>, 4> strides{};
        for (std::size_t k = 0; k < 4; ++k) strides_over(ends[k], shape, strides[k].data());
        // The endpoint of line i (in C order of the lines' shape).
        const auto endpoint = [&](std::size_t k, std::size_t line) {
            std::ptrdiff_t at = 0;
            std::size_t rest = line;
            for (int axis = shape.ndim - 1; axis >= 0; --axis) {
                const auto extent = static_cast<std::size_t>(shape.extent[axis]);
                at += static_cast<std::ptrdiff_t>(rest % extent) * strides[k][axis];
                rest /= extent;
            }
            double value;
            std::memcpy(&value, ends[k].data() + at, sizeof value);
            return value;
        };
        double* lat_out = doubles(lats.get());
        double* lon_out = doubles(lons.get());
        const auto& solver = lines_of.solver();
        const auto body = [&](std::size_t begin, std::size_t end) {
            // Points [begin, end) in line order: a piece may start or
            // stop inside a line, which it then sets up itself.
            std::size_t line = begin / count, first = begin % count;
            for (std::size_t k = begin; k < end; ++line, first = 0) {
                const std::size_t last = std::min(count, first + (end - k));
                const core::LinePoints<typename Lines::Path> points_of(solver, endpoint(0, line), endpoint(1, line),
                                                                       endpoint(2, line), endpoint(3, line), count,
                                                                       include_ends);
                points_of.write(first, last, core::contiguous(lat_out + k), core::contiguous(lon_out + k));
                k += last - first;
            }
        };
        BufferPins pins;
        const double ns = Lines::position_ns + Lines::line_ns / static_cast<double>(count);
        if (runs_unlocked(total, ns)) {
            for (const ArrayArgument& end : ends) pins.pin(end.array());
        }
        run_ranges(total, body, ns);
    }
    PyObject* result = PyTuple_Pack(2, lats.get(), lons.get());
    if (result == nullptr) throw_python_error();
    return result;
}

PyObject* geodesic_line_points(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard([&] { return points_along<GeodesicLines>(args, nargs, kwnames); },
                                   interop::runtime_error_report);
}

#if ORVIK_HAVE_RHUMB
PyObject* rhumb_line_points(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard([&] { return points_along<RhumbLines>(args, nargs, kwnames); },
                                   interop::runtime_error_report);
}
#endif

// --- parts of tracks and rings ----------------------------------------------------

// Every track (or ring) in its parts (core::parts_of), numbered track after
// track: the work items of a map, each computed on its own.
class Parts {
public:
    Parts(const Tracks& tracks, bool rings) : first_(tracks.count() + 1, 0) {
        for (std::size_t t = 0; t < tracks.count(); ++t) {
            const std::size_t n = tracks.track(t).size;
            const std::size_t edges = rings ? n : (n > 0 ? n - 1 : 0);
            edges_ += edges;
            first_[t + 1] = first_[t] + core::parts_of(edges);
        }
    }

    std::size_t count() const noexcept { return first_.back(); }
    std::size_t first(std::size_t track) const noexcept { return first_[track]; }
    // Rough nanoseconds per part, at `ns_per_edge`.
    double ns_per_part(double ns_per_edge) const noexcept {
        return static_cast<double>(std::max<std::size_t>(edges_, 1)) /
               static_cast<double>(std::max<std::size_t>(count(), 1)) * ns_per_edge;
    }

    // Calls fn(track, part of the track, part index) for parts [begin, end).
    template <class Fn>
    void each(std::size_t begin, std::size_t end, const Fn& fn) const {
        auto t = static_cast<std::size_t>(std::upper_bound(first_.begin(), first_.end(), begin) - first_.begin() - 1);
        for (std::size_t c = begin; c < end; ++c) {
            while (c >= first_[t + 1]) ++t;
            fn(t, c - first_[t], c);
        }
    }

private:
    std::vector<std::size_t> first_;
    std::size_t edges_ = 0;
};

}  // namespace

EdgesOf::EdgesOf(std::string_view function, PyObject* edges, PyObject* ellipsoid) {
    bool rhumb = false;
    if (edges != nullptr) {
        const std::string label = interop::argument_label(function, "edges");
        if (!PyUnicode_Check(edges)) {
            throw PythonError::pending(PyExc_TypeError, label + " must be 'geodesic' or 'rhumb', not " +
                                                            interop::repr_text(edges) + " (" +
                                                            interop::type_qualname(edges) + ")");
        }
        const std::string kind = interop::text_or(edges, "");
        rhumb = kind == "rhumb";
        if (!rhumb && kind != "geodesic") {
            throw PythonError::pending(PyExc_ValueError,
                                       label + " must be 'geodesic' or 'rhumb', not " + interop::repr_text(edges));
        }
    }
    if (rhumb) {
#if ORVIK_HAVE_RHUMB
        // Series in the flattening, as the geodesics' are.
        rhumb_ = resolve_rhumb(function, ellipsoid, false);
        edges_.emplace(*rhumb_);
#else
        throw PythonError::pending(PyExc_NotImplementedError,
                                   std::string(function) + "(): rhumb edges need GeographicLib 2.3 or later, and "
                                                           "this build of orvik links an older one");
#endif
    } else {
        geodesic_ = resolve_ellipsoid(function, ellipsoid);
        edges_.emplace(*geodesic_);
    }
}

std::vector<double> track_lengths(const core::Edges& edges, const Tracks& tracks) {
    const Parts parts(tracks, /*rings=*/false);
    std::vector<double> partial(parts.count());
    const auto body = [&](std::size_t begin, std::size_t end) {
        parts.each(begin, end, [&](std::size_t t, std::size_t part, std::size_t at) {
            const Track track = tracks.track(t);
            partial[at] = core::track_part(edges, track.lat, track.lon, track.size, part);
        });
    };
    run_ranges(parts.count(), body, parts.ns_per_part(edge_ns));
    std::vector<double> lengths(tracks.count());
    for (std::size_t t = 0; t < tracks.count(); ++t) {
        lengths[t] = core::join_track_parts(&partial[parts.first(t)], parts.first(t + 1) - parts.first(t));
    }
    return lengths;
}

std::vector<core::RingMeasure> ring_measures(const core::Edges& edges, const Tracks& rings, bool perimeter) {
    const Parts parts(rings, /*rings=*/true);
    std::vector<core::RingMeasure> measures(parts.count());
    const auto body = [&](std::size_t begin, std::size_t end) {
        parts.each(begin, end, [&](std::size_t t, std::size_t part, std::size_t at) {
            const Track ring = rings.track(t);
            measures[at] = core::ring_part(edges, ring.lat, ring.lon, ring.size, part, perimeter);
        });
    };
    run_ranges(parts.count(), body, parts.ns_per_part(ring_edge_ns));
    std::vector<core::RingMeasure> joined(rings.count());
    for (std::size_t t = 0; t < rings.count(); ++t) {
        const Track ring = rings.track(t);
        joined[t] = core::join_ring_parts(edges, ring.lat, ring.lon, ring.size, &measures[parts.first(t)], perimeter);
    }
    return joined;
}

namespace {

constexpr std::string_view track_params[] = {"lats", "lons"};
constexpr std::string_view length_keywords[] = {"axis", "ellipsoid"};
constexpr std::string_view area_keywords[] = {"ellipsoid", "edges"};
constexpr interop::FunctionDescription path_length_desc{"path_length", track_params, length_keywords};
constexpr interop::FunctionDescription polygon_area_desc{"polygon_area", track_params, area_keywords};

PyObject* path_length(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[4] = {};
            PyObject* const* a = interop::bind_arguments(path_length_desc, args, nargs, kwnames, slots);
            PyObject* axis = a == args ? nullptr : slots[2];
            PyObject* ellipsoid = a == args ? nullptr : slots[3];
            const Py_ssize_t along = axis ? interop::index_argument(path_length_desc.name, "axis", axis) : -1;
            const Tracks tracks(path_length_desc.name, a[0], a[1], along);
            const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(path_length_desc.name, ellipsoid);
            const std::vector<double> lengths = track_lengths(*solver, tracks);
            PyRef out = new_array(tracks.result_shape());
            std::copy(lengths.begin(), lengths.end(), doubles(out.get()));
            return as_result(std::move(out));
        },
        interop::runtime_error_report);
}

PyObject* polygon_area(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[4] = {};
            PyObject* const* a = interop::bind_arguments(polygon_area_desc, args, nargs, kwnames, slots);
            const Tracks rings(polygon_area_desc.name, a[0], a[1], -1);
            const EdgesOf edges(polygon_area_desc.name, slots[3], slots[2]);
            const std::vector<core::RingMeasure> measures = ring_measures(edges.edges(), rings);
            PyRef areas = new_array(rings.result_shape());
            PyRef perimeters = new_array(rings.result_shape());
            for (std::size_t t = 0; t < measures.size(); ++t) {
                doubles(areas.get())[t] = measures[t].area;
                doubles(perimeters.get())[t] = measures[t].perimeter;
            }
            PyRef area = PyRef::steal(as_result(std::move(areas)));
            PyRef perimeter = PyRef::steal(as_result(std::move(perimeters)));
            PyObject* result = PyTuple_Pack(2, area.get(), perimeter.get());
            if (result == nullptr) throw_python_error();
            return result;
        },
        interop::runtime_error_report);
}

constexpr Keyword line_points_keywords[] = {
    {"n", "None", "int | None"},
    {"spacing", "None", "float | None"},
    {"include_ends", "True", "bool"},
    {"ellipsoid", "None", "_Ellipsoid"},
};
constexpr Keyword rhumb_line_points_keywords[] = {
    {"n", "None", "int | None"},          {"spacing", "None", "float | None"}, {"include_ends", "True", "bool"},
    {"ellipsoid", "None", "_Ellipsoid"}, {"exact", "False", "bool"},
};
constexpr Keyword path_length_keywords[] = {{"axis", "-1", "int"}, {"ellipsoid", "None", "_Ellipsoid"}};
constexpr Keyword polygon_area_keywords[] = {{"ellipsoid", "None", "_Ellipsoid"}, {"edges", "'geodesic'", "str"}};
constexpr std::string_view distance_to_line_params[] = {"lat", "lon", "line_lat", "line_lon"};
constexpr Keyword distance_to_line_keywords[] = {{"ellipsoid", "None", "_Ellipsoid"}};

}  // namespace

const ShapedFunction line_functions[] = {
    {"orvik.geodesic", "line_points", line_params, line_points_keywords,
     "Points equally spaced along the geodesics from (lat1, lon1) to\n"
     "(lat2, lon2), as a (lats, lons) tuple of float64 arrays.\n\n"
     "Give exactly one of `n` and `spacing`:\n\n"
     "- `n`: n points per line.  With `include_ends` (the default) the first\n"
     "  and last are the endpoints themselves and n - 1 equal steps join them\n"
     "  (n is 0 or at least 2); without, they are n interior points, n + 1\n"
     "  steps apart.  The endpoints broadcast together to the shape of the\n"
     "  lines, and the results have that shape plus an axis of n points.\n"
     "- `spacing`: one line only (numbers in); the number of steps is its\n"
     "  length over `spacing` rounded to the nearest whole number (at least\n"
     "  one), and the step is then the length over that number, so that every\n"
     "  step is equal.  With `include_ends` the result has steps + 1 points,\n"
     "  without steps - 1.\n\n"
     "The results are arrays even for one line, and never pandas Series\n"
     "(each line has its points).  Longitudes come back reduced to\n"
     "[-180, 180].  A line with a NaN or infinite endpoint, or a latitude\n"
     "beyond 90, has NaN points.  The ellipsoid is WGS84 unless `ellipsoid`\n"
     "names another ('GRS80', 'WGS72') or gives an (a, f) pair.",
     interop::fastcall(geodesic_line_points), "ArrayLike", "tuple[NDArray[np.float64], NDArray[np.float64]]"},
    {"orvik.geodesic", "path_length", track_params, path_length_keywords,
     "The geodesic length in metres of polylines: the sum of the distances\n"
     "between successive vertices.\n\n"
     "`lats` and `lons` broadcast together; the tracks run along `axis`, which\n"
     "is reduced: a 1-D track gives a float, a 2-D array of tracks (one per\n"
     "row, with the default axis) an array of their lengths, computed in\n"
     "parallel.  A list (or tuple) of 1-D array-likes of different lengths is\n"
     "a list of tracks and gives one length each.  A NaN vertex makes its own\n"
     "track's length NaN and no other's; a track of fewer than two vertices\n"
     "has length 0.  Summed in twice the precision of a float64, so long\n"
     "tracks lose nothing to rounding.  The ellipsoid is WGS84 unless\n"
     "`ellipsoid` names another ('GRS80', 'WGS72') or gives an (a, f) pair.",
     interop::fastcall(path_length), "ArrayLike | Sequence[ArrayLike]", "Any"},
    {"orvik.geodesic", "polygon_area", track_params, polygon_area_keywords,
     "The (area, perimeter) of rings on the ellipsoid, in m^2 and m, by\n"
     "GeographicLib's PolygonArea, or with `edges=\"rhumb\"` PolygonAreaRhumb.\n\n"
     "`edges` is what joins successive vertices: \"geodesic\" (the default),\n"
     "the shortest lines, or \"rhumb\", lines of constant bearing.  Parallels\n"
     "and meridians are rhumb lines, so a latitude/longitude box or grid cell\n"
     "given by its four corners has its true area with rhumb edges; each rhumb\n"
     "edge goes the shorter way in longitude.\n\n"
     "A ring is its vertices in order, closed from the last back to the first\n"
     "(repeating the first vertex at the end changes nothing).  The area is\n"
     "positive when the ring runs counter-clockwise, negative when clockwise;\n"
     "rings may cross the poles and the antimeridian.  Each ring stands alone:\n"
     "for a polygon with holes, subtract the holes' areas.  A 1-D ring gives\n"
     "two floats; a 2-D array with rings along its last axis, or a list (or\n"
     "tuple) of 1-D array-likes of different lengths, gives two arrays with\n"
     "one value per ring, computed in parallel; a ring of more than 4096\n"
     "vertices is itself split over the workers, in parts joined to within\n"
     "rounding of one PolygonArea pass.  A NaN vertex makes its own ring's\n"
     "area and perimeter NaN (with rhumb edges, a latitude beyond 90 too).\n"
     "The ellipsoid is WGS84 unless `ellipsoid` names another ('GRS80',\n"
     "'WGS72') or gives an (a, f) pair.",
     interop::fastcall(polygon_area), "ArrayLike | Sequence[ArrayLike]", "tuple[Any, Any]"},
    {"orvik.geodesic", "distance_to_line", distance_to_line_params, distance_to_line_keywords,
     "The nearest point of one polyline to each point (lat, lon): the shortest\n"
     "geodesic distance to any of its segments, the shortest geodesics between\n"
     "successive vertices (line_lat, line_lon), in degrees.\n\n"
     "`lat` and `lon` broadcast together like the arguments of distance_to_segment;\n"
     "`line_lat` and `line_lon` are one-dimensional array-likes of the line's\n"
     "vertices, in order, at least two, each a finite point with |lat| <= 90\n"
     "(else ValueError).  Returns a dict: distance (m); segment, the index of the\n"
     "nearest segment (from vertex segment to segment + 1; int64, -1 for a NaN\n"
     "point), the smaller index where two are equally near; along, the distance\n"
     "in metres along the line from its first vertex to the closest point; lat\n"
     "and lon of the closest point (degrees, longitude in [-180, 180]); side,\n"
     "1.0 left of the line's direction there, -1.0 right, 0.0 on it.  Numbers\n"
     "give floats (and an int segment), arrays give arrays, a pandas Series gives\n"
     "Series.  Segments of zero length (a repeated vertex) are passed over.\n\n"
     "The result is the brute force's, the minimum over every segment of\n"
     "distance_to_segment, but most segments are ruled out by bounds from\n"
     "straight-line geometry (a k-d tree over pieces of the segments), so a\n"
     "point near a line of 10^4 vertices costs a few inverse problems, not 10^4.\n"
     "Points far from a long, finely divided line cost more.  The ellipsoid is\n"
     "WGS84 unless `ellipsoid` names another ('GRS80', 'WGS72') or gives an\n"
     "(a, f) pair.",
     interop::fastcall(distance_to_line), "ArrayLike", "dict[str, Any]"},
#if ORVIK_HAVE_RHUMB
    {"orvik.rhumb", "line_points", line_params, rhumb_line_points_keywords,
     "Points equally spaced along the rhumb lines (constant bearing) from\n"
     "(lat1, lon1) to (lat2, lon2), as a (lats, lons) tuple of float64 arrays\n"
     "in degrees.\n\n"
     "Give exactly one of `n` and `spacing` (metres), with the rules of\n"
     "orvik.geodesic.line_points:\n\n"
     "- `n`: n points per line, the endpoints among them with `include_ends`\n"
     "  (n is then 0 or at least 2), else n interior points n + 1 steps apart;\n"
     "  the endpoints broadcast to the lines' shape, and the results have that\n"
     "  shape plus an axis of n points.\n"
     "- `spacing`: one line only; its length over `spacing`, rounded (at\n"
     "  least one), equal steps.\n\n"
     "Each line goes the shorter way in longitude (across the antimeridian\n"
     "if that is shorter), with longitudes reduced to [-180, 180]; a line to\n"
     "or from a pole runs along the other end's meridian.  A line with a NaN or\n"
     "infinite endpoint, or a latitude beyond 90, has NaN points.  The\n"
     "ellipsoid is WGS84 unless `ellipsoid` names another ('GRS80', 'WGS72')\n"
     "or gives an (a, f) pair; `exact` as for orvik.rhumb.inverse.",
     interop::fastcall(rhumb_line_points), "ArrayLike", "tuple[NDArray[np.float64], NDArray[np.float64]]"},
#endif
};

const std::size_t line_function_count = std::size(line_functions);

}  // namespace orvik::engine
