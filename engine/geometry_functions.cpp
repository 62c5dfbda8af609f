// The engine's private functions for orvik.geometry: measures of rings and
// tracks held as flat columns cut by offsets (the shape in which shapely's
// and Arrow's geometries come), densifying their edges in a planning pass
// and a filling pass, and drawing geodesic circles.  Each takes array-likes,
// checks them, allocates its results and splits the work over the pool.
// Coordinates come in as columns of latitudes and of longitudes, and go out
// as (longitude, latitude) pairs, the layout shapely builds geometries from.
#include "engine/geometry_functions.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/geodesic.hpp"
#include "core/geometry.hpp"
#include "engine/array_argument.hpp"
#include "engine/array_run.hpp"
#include "engine/broadcast.hpp"
#include "engine/ellipsoid.hpp"
#include "engine/line_functions.hpp"
#include "engine/numpy_access.hpp"
#include "engine/tracks.hpp"
#include "interop/arguments.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "interop/results.hpp"

namespace orvik::engine {
namespace {

using interop::FunctionDescription;
using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;

// Rough nanoseconds per unit of work on one core.
constexpr double edge_plan_ns = 1100;  // an inverse problem
constexpr double fill_point_ns = 150;  // a point along a line
constexpr double fill_line_ns = 400;   // setting a line up
constexpr double direct_ns = 700;      // a circle's vertex

// The public functions whose arguments some of these functions check, named
// in the messages that the caller sees.
constexpr std::string_view buffer_name = "buffer";

// The largest `n` of a circle: a million vertices make a 16 MB row per
// circle already.
constexpr std::size_t max_circle_vertices = 1'000'000;

// A new array of `dims`, of float64 or int64 (NPY_LONGLONG).
PyRef new_array(int type_num, std::initializer_list<Py_intptr_t> dims) {
    PyRef array = PyRef::steal(numpy_api().empty(type_num, static_cast<int>(dims.size()), std::data(dims)));
    if (!array) throw_python_error();
    return array;
}

PyRef new_array(int type_num, const Shape& shape) {
    PyRef array = PyRef::steal(numpy_api().empty(type_num, shape.ndim, shape.extent.data()));
    if (!array) throw_python_error();
    return array;
}

// repr() of a float.
std::string float_text(double value) {
    PyRef number = PyRef::steal(PyFloat_FromDouble(value));
    if (!number) throw_python_error();
    return interop::repr_text(number.get());
}

template <class T>
T* elements(PyObject* array) noexcept {
    return reinterpret_cast<T*>(numpy::fields(array).data);
}

PyObject* tuple_of(std::initializer_list<PyObject*> items) {
    PyObject* result = PyTuple_New(static_cast<Py_ssize_t>(items.size()));
    if (result == nullptr) throw_python_error();
    Py_ssize_t k = 0;
    for (PyObject* item : items) PyTuple_SET_ITEM(result, k++, Py_NewRef(item));
    return result;
}

// A one-dimensional column of `n` values, read in place.
class Column {
public:
    Column(std::string_view function, std::string_view param, PyObject* obj, std::size_t n,
           Element element = Element::float64)
        : arg_(function, param, obj, element) {
        if (arg_.ndim() != 1 || static_cast<std::size_t>(arg_.extent(0)) != n) {
            throw PythonError::pending(PyExc_ValueError, std::string(function) + "(): '" + std::string(param) +
                                                             "' must have shape (" + std::to_string(n) +
                                                             ",), not " + shape_of(arg_).text());
        }
    }
    core::StridedIn values() const noexcept { return {arg_.data(), arg_.stride(0)}; }
    std::int64_t integer(std::size_t i) const noexcept {
        std::int64_t value;
        std::memcpy(&value, arg_.data() + static_cast<std::ptrdiff_t>(i) * arg_.stride(0), sizeof value);
        return value;
    }
    PyObject* array() const noexcept { return arg_.array(); }

private:
    ArrayArgument arg_;
};

// The vertices of every track as one range: track t holds vertices
// [first(t), first(t + 1)).
std::vector<std::size_t> firsts_of(const Tracks& tracks) {
    std::vector<std::size_t> first(tracks.count() + 1, 0);
    for (std::size_t t = 0; t < tracks.count(); ++t) first[t + 1] = first[t] + tracks.track(t).size;
    return first;
}

// --- the ellipsoid ----------------------------------------------------------------

// The ellipsoid of orvik.geometry's calls is checked once, by the public
// function's name, and then given to the functions below as (a, f), which
// they cannot refuse.
constexpr std::string_view ellipsoid_params[] = {"function", "ellipsoid"};
constexpr std::string_view edges_keyword[] = {"edges"};
constexpr FunctionDescription ellipsoid_desc{"geometry_ellipsoid", ellipsoid_params, edges_keyword};

PyObject* geometry_ellipsoid(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[3] = {};
            PyObject* const* a = interop::bind_arguments(ellipsoid_desc, args, nargs, kwnames, slots);
            PyObject* edges = a == args ? nullptr : slots[2];
            if (!PyUnicode_Check(a[0])) {
                throw PythonError::pending(PyExc_TypeError, "geometry_ellipsoid(): 'function' must be a str");
            }
            Py_ssize_t size = 0;
            const char* function = PyUnicode_AsUTF8AndSize(a[0], &size);
            if (function == nullptr) throw_python_error();
            const std::string_view name(function, static_cast<std::size_t>(size));
            const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(name, a[1]);
            // The kind of edges, checked here too, by the public function's name.
            const EdgesOf checked(name, edges, a[1]);
            PyObject* result = Py_BuildValue("(ddd)", solver->equatorial_radius(), solver->flattening(),
                                             solver->solver().EllipsoidArea());
            if (result == nullptr) throw_python_error();
            return result;
        },
        interop::runtime_error_report);
}

// --- measures of rings and tracks -----------------------------------------------------

constexpr std::string_view ellipsoid_keyword[] = {"ellipsoid"};
constexpr std::string_view measure_keywords[] = {"ellipsoid", "edges"};
constexpr std::string_view cut_params[] = {"lats", "lons", "offsets"};
constexpr FunctionDescription rings_desc{"geometry_ring_measures", cut_params, measure_keywords};
constexpr FunctionDescription areas_desc{"geometry_ring_areas", cut_params, measure_keywords};
constexpr FunctionDescription tracks_desc{"geometry_track_lengths", cut_params, measure_keywords};

// The measures of the rings of a call (NaN perimeters unless asked for),
// and the shape of the results.
std::vector<core::RingMeasure> measure_rings(const FunctionDescription& desc, PyObject* const* args,
                                             Py_ssize_t nargs, PyObject* kwnames, bool perimeter, Shape& shape) {
    PyObject* slots[5] = {};
    PyObject* const* a = interop::bind_arguments(desc, args, nargs, kwnames, slots);
    const Tracks rings(desc.name, a[0], a[1], CutByOffsets{a[2]});
    const EdgesOf edges(desc.name, a == args ? nullptr : slots[4], a == args ? nullptr : slots[3]);
    shape = rings.result_shape();
    BufferPins pins;
    rings.pin_columns(pins);
    return ring_measures(edges.edges(), rings, perimeter);
}

PyObject* geometry_ring_measures(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            Shape shape;
            const std::vector<core::RingMeasure> measures =
                measure_rings(rings_desc, args, nargs, kwnames, /*perimeter=*/true, shape);
            PyRef areas = new_array(numpy::NPY_DOUBLE, shape);
            PyRef perimeters = new_array(numpy::NPY_DOUBLE, shape);
            double* area = elements<double>(areas.get());
            double* perimeter = elements<double>(perimeters.get());
            for (std::size_t t = 0; t < measures.size(); ++t) {
                area[t] = measures[t].area;
                perimeter[t] = measures[t].perimeter;
            }
            return tuple_of({areas.get(), perimeters.get()});
        },
        interop::runtime_error_report);
}

PyObject* geometry_ring_areas(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            Shape shape;
            const std::vector<core::RingMeasure> measures =
                measure_rings(areas_desc, args, nargs, kwnames, /*perimeter=*/false, shape);
            PyRef areas = new_array(numpy::NPY_DOUBLE, shape);
            double* area = elements<double>(areas.get());
            for (std::size_t t = 0; t < measures.size(); ++t) area[t] = measures[t].area;
            return areas.release();
        },
        interop::runtime_error_report);
}

PyObject* geometry_track_lengths(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[5] = {};
            PyObject* const* a = interop::bind_arguments(tracks_desc, args, nargs, kwnames, slots);
            const Tracks tracks(tracks_desc.name, a[0], a[1], CutByOffsets{a[2]});
            const EdgesOf edges(tracks_desc.name, a == args ? nullptr : slots[4], a == args ? nullptr : slots[3]);
            std::vector<double> lengths;
            {
                BufferPins pins;
                tracks.pin_columns(pins);
                lengths = track_lengths(edges.edges(), tracks);
            }
            PyRef out = new_array(numpy::NPY_DOUBLE, tracks.result_shape());
            std::copy(lengths.begin(), lengths.end(), elements<double>(out.get()));
            return out.release();
        },
        interop::runtime_error_report);
}

// --- densifying: the plan -----------------------------------------------------------

constexpr std::string_view plan_params[] = {"lats", "lons", "offsets", "max_length", "cap"};
constexpr FunctionDescription plan_desc{"geometry_plan_edges", plan_params, ellipsoid_keyword};

// Calls fn(i, next) for vertices [begin, end) of the tracks, where `next`
// is whether vertex i starts an edge (is not its track's last).
template <class Fn>
void each_vertex(const std::vector<std::size_t>& first, std::size_t begin, std::size_t end, const Fn& fn) {
    auto t = static_cast<std::size_t>(std::upper_bound(first.begin(), first.end(), begin) - first.begin() - 1);
    for (std::size_t i = begin; i < end; ++i) {
        while (i >= first[t + 1]) ++t;
        fn(t, i, i + 1 < first[t + 1]);
    }
}

PyObject* geometry_plan_edges(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[6] = {};
            PyObject* const* a = interop::bind_arguments(plan_desc, args, nargs, kwnames, slots);
            const std::string_view name = plan_desc.name;
            const double max_length = interop::real_argument(name, "max_length", a[3]);
            if (!(max_length > 0) || !std::isfinite(max_length)) {
                throw PythonError::pending(PyExc_ValueError, interop::argument_label(name, "max_length") +
                                                                 " must be a positive finite number of metres, "
                                                                 "not " + interop::repr_text(a[3]));
            }
            // Counts stay far from overflowing when the caller adds them up.
            const auto cap = static_cast<std::int64_t>(std::min<std::size_t>(
                interop::count_argument(name, "cap", a[4], 1), std::numeric_limits<std::int64_t>::max() / 4));
            const Tracks paths(name, a[0], a[1], CutByOffsets{a[2]});
            const std::shared_ptr<const core::Geodesic> solver =
                resolve_ellipsoid(name, a == args ? nullptr : slots[5]);
            const core::Geodesic& g = *solver;
            const std::vector<std::size_t> first = firsts_of(paths);
            const std::size_t n = first.back();
            PyRef pieces = new_array(numpy::NPY_LONGLONG, {static_cast<Py_intptr_t>(n)});
            PyRef lengths = new_array(numpy::NPY_DOUBLE, {static_cast<Py_intptr_t>(n)});
            PyRef azimuths = new_array(numpy::NPY_DOUBLE, {static_cast<Py_intptr_t>(n)});
            std::int64_t* count = elements<std::int64_t>(pieces.get());
            double* length = elements<double>(lengths.get());
            double* azimuth = elements<double>(azimuths.get());
            const auto body = [&](std::size_t begin, std::size_t end) {
                each_vertex(first, begin, end, [&](std::size_t t, std::size_t i, bool starts_edge) {
                    if (!starts_edge) {
                        count[i] = 0;  // a path's last vertex starts no edge
                        length[i] = 0.0;
                        azimuth[i] = 0.0;
                        return;
                    }
                    const Track path = paths.track(t);
                    const std::size_t k = i - first[t];
                    const core::EdgePlan plan =
                        core::plan_edge(g, path.lat[k], path.lon[k], path.lat[k + 1], path.lon[k + 1], max_length, cap);
                    count[i] = plan.pieces;
                    length[i] = plan.length;
                    azimuth[i] = plan.azimuth;
                });
            };
            BufferPins pins;
            paths.pin_columns(pins);
            run_ranges(n, body, edge_plan_ns);
            return tuple_of({pieces.get(), lengths.get(), azimuths.get()});
        },
        interop::runtime_error_report);
}

// --- densifying: the points -------------------------------------------------------

constexpr std::string_view fill_params[] = {"lats", "lons", "offsets", "pieces", "lengths", "azimuths"};
constexpr FunctionDescription fill_desc{"geometry_densify", fill_params, ellipsoid_keyword};

PyObject* geometry_densify(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[7] = {};
            PyObject* const* a = interop::bind_arguments(fill_desc, args, nargs, kwnames, slots);
            const std::string_view name = fill_desc.name;
            const Tracks paths(name, a[0], a[1], CutByOffsets{a[2]});
            const std::vector<std::size_t> first = firsts_of(paths);
            const std::size_t n = first.back();
            const Column pieces(name, "pieces", a[3], n, Element::int64);
            const Column lengths(name, "lengths", a[4], n), azimuths(name, "azimuths", a[5], n);
            const std::shared_ptr<const core::Geodesic> solver =
                resolve_ellipsoid(name, a == args ? nullptr : slots[6]);
            const core::Geodesic& g = *solver;
            // Where each vertex goes: after the earlier vertices and the
            // points inserted into their edges.  The counts are read once,
            // here, with the interpreter lock: they decide where the pool
            // writes.
            PyRef positions = new_array(numpy::NPY_LONGLONG, {static_cast<Py_intptr_t>(n)});
            std::int64_t* position = elements<std::int64_t>(positions.get());
            std::vector<std::int64_t> inserted(n);
            std::size_t total = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const std::int64_t count = pieces.integer(i);
                if (count < 0) {
                    throw PythonError::pending(PyExc_ValueError, std::string(name) + "(): 'pieces' must not be "
                                                                 "negative, not " + std::to_string(count) +
                                                                 " at " + std::to_string(i));
                }
                position[i] = static_cast<std::int64_t>(total);
                inserted[i] = std::max<std::int64_t>(count - 1, 0);
                const auto more = static_cast<std::size_t>(inserted[i]) + 1;
                if (total > std::numeric_limits<std::size_t>::max() / (4 * sizeof(double)) - more) throw std::bad_alloc();
                total += more;
            }
            PyRef coords = new_array(numpy::NPY_DOUBLE, {static_cast<Py_intptr_t>(total), 2});
            PyRef new_offsets = new_array(numpy::NPY_LONGLONG, {static_cast<Py_intptr_t>(paths.count() + 1)});
            std::int64_t* offset = elements<std::int64_t>(new_offsets.get());
            for (std::size_t t = 0; t < paths.count(); ++t) offset[t] = position[first[t]];
            offset[paths.count()] = static_cast<std::int64_t>(total);
            char* pairs = reinterpret_cast<char*>(elements<double>(coords.get()));
            constexpr std::ptrdiff_t pair = 2 * sizeof(double);
            const core::StridedIn length = lengths.values(), azimuth = azimuths.values();
            const auto body = [&](std::size_t begin, std::size_t end) {
                each_vertex(first, begin, end, [&](std::size_t t, std::size_t i, bool) {
                    const Track path = paths.track(t);
                    const std::size_t k = i - first[t];
                    const double lat = path.lat[k], lon = path.lon[k];
                    char* at = pairs + position[i] * pair;
                    // The vertex itself, bit for bit.
                    std::memcpy(at, &lon, sizeof lon);
                    std::memcpy(at + sizeof lon, &lat, sizeof lat);
                    const core::EdgePlan plan{length[i], azimuth[i], inserted[i] + 1};
                    core::fill_edge(g, lat, lon, plan, {at + pair + sizeof(double), pair}, {at + pair, pair});
                });
            };
            const double points = static_cast<double>(total) / static_cast<double>(std::max<std::size_t>(n, 1));
            BufferPins pins;
            paths.pin_columns(pins);
            pins.pin(lengths.array());
            pins.pin(azimuths.array());
            run_ranges(n, body, fill_line_ns + points * fill_point_ns);
            return tuple_of({coords.get(), new_offsets.get(), positions.get()});
        },
        interop::runtime_error_report);
}

// --- circles --------------------------------------------------------------------

constexpr std::string_view circle_params[] = {"lat", "lon", "distance", "n", "unroll"};
constexpr FunctionDescription circle_desc{"geometry_circles", circle_params, ellipsoid_keyword};

PyObject* geometry_circles(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[6] = {};
            PyObject* const* a = interop::bind_arguments(circle_desc, args, nargs, kwnames, slots);
            const std::size_t n = interop::count_argument(buffer_name, "n", a[3], 3);
            if (n > max_circle_vertices) {
                throw PythonError::pending(PyExc_ValueError, interop::argument_label(buffer_name, "n") +
                                                                 " must be at most " +
                                                                 std::to_string(max_circle_vertices) + ", not " +
                                                                 interop::repr_text(a[3]));
            }
            const bool unroll = interop::flag_argument(circle_desc.name, "unroll", a[4]);
            // The distance broadcasts with the points, whose two columns
            // have the points' shape.
            std::vector<ArrayArgument> in;
            in.reserve(3);
            in.emplace_back(circle_desc.name, "lat", a[0]);
            in.emplace_back(buffer_name, "distance", a[2]);
            in.emplace_back(circle_desc.name, "lon", a[1]);
            const Shape points = shape_of(in[0]);
            if (shape_of(in[2]).text() != points.text()) {
                throw PythonError::pending(PyExc_ValueError, std::string(circle_desc.name) +
                                                                 "(): 'lat' and 'lon' must have one shape, not " +
                                                                 points.text() + " and " + shape_of(in[2]).text());
            }
            constexpr std::string_view names[] = {"points", "distance"};
            const Shape shape = broadcast_shape(buffer_name, std::span(in.data(), 2), names);
            std::array<std::array<std::ptrdiff_t, runtime::max_dims>, 3> strides{};
            for (std::size_t k = 0; k < 3; ++k) strides_over(in[k], shape, strides[k].data());
            const std::size_t count = shape.size();
            // Element k of circle c, in C order of the shape.
            std::vector<std::array<const char*, 3>> at(count);
            for (std::size_t c = 0; c < count; ++c) {
                std::size_t rest = c;
                std::array<std::ptrdiff_t, 3> offset{};
                for (int axis = shape.ndim - 1; axis >= 0; --axis) {
                    const auto extent = static_cast<std::size_t>(shape.extent[axis]);
                    const auto index = static_cast<std::ptrdiff_t>(rest % extent);
                    rest /= extent;
                    for (std::size_t k = 0; k < 3; ++k) offset[k] += index * strides[k][axis];
                }
                for (std::size_t k = 0; k < 3; ++k) at[c][k] = in[k].data() + offset[k];
                double distance;
                std::memcpy(&distance, at[c][1], sizeof distance);
                if (distance < 0) {
                    throw PythonError::pending(PyExc_ValueError, interop::argument_label(buffer_name, "distance") +
                                                                     " must not be negative, not " +
                                                                     float_text(distance));
                }
            }
            const std::shared_ptr<const core::Geodesic> solver =
                resolve_ellipsoid(circle_desc.name, a == args ? nullptr : slots[5]);
            const core::Geodesic& g = *solver;
            const std::size_t capacity = core::circle_capacity(n);
            Shape rows = shape, kinds = shape;
            rows.extent[rows.ndim++] = static_cast<Py_intptr_t>(capacity);
            rows.extent[rows.ndim++] = 2;
            kinds.extent[kinds.ndim++] = 3;
            if (count > std::numeric_limits<std::size_t>::max() / (2 * sizeof(double) * capacity)) throw std::bad_alloc();
            PyRef coords = new_array(numpy::NPY_DOUBLE, rows);
            PyRef shapes = new_array(numpy::NPY_LONGLONG, kinds);
            char* pairs = reinterpret_cast<char*>(elements<double>(coords.get()));
            std::int64_t* kind = elements<std::int64_t>(shapes.get());
            constexpr std::ptrdiff_t pair = 2 * sizeof(double);
            const auto row_bytes = static_cast<std::ptrdiff_t>(capacity) * pair;
            const auto body = [&](std::size_t begin, std::size_t end) {
                core::CircleMaker maker(g, n, unroll);
                for (std::size_t c = begin; c < end; ++c) {
                    double values[3];
                    for (std::size_t k = 0; k < 3; ++k) std::memcpy(&values[k], at[c][k], sizeof(double));
                    char* row = pairs + static_cast<std::ptrdiff_t>(c) * row_bytes;
                    const core::CircleOutline outline =
                        maker.draw(values[0], values[2], values[1], {row + sizeof(double), pair}, {row, pair});
                    kind[3 * c] = static_cast<std::int64_t>(outline.shape);
                    kind[3 * c + 1] = static_cast<std::int64_t>(outline.sizes[0]);
                    kind[3 * c + 2] = static_cast<std::int64_t>(outline.sizes[1]);
                }
            };
            BufferPins pins;
            for (const ArrayArgument& arg : in) pins.pin(arg.array());
            run_ranges(count, body, direct_ns * static_cast<double>(n / 2 + 1));
            for (std::size_t c = 0; c < count; ++c) {
                if (kind[3 * c] != static_cast<std::int64_t>(core::CircleShape::both_poles)) continue;
                double values[3];
                for (std::size_t k = 0; k < 3; ++k) std::memcpy(&values[k], at[c][k], sizeof(double));
                throw PythonError::pending(PyExc_ValueError, std::string(buffer_name) + "(): a circle of " +
                                                                 float_text(values[1]) + " m around (" +
                                                                 float_text(values[2]) + ", " +
                                                                 float_text(values[0]) +
                                                                 ") would contain both poles; orvik draws "
                                                                 "circles that contain at most one");
            }
            return tuple_of({coords.get(), shapes.get()});
        },
        interop::runtime_error_report);
}

constexpr Keyword ellipsoid_option[] = {{"ellipsoid", "None", "_Ellipsoid"}};
constexpr Keyword measure_options[] = {{"ellipsoid", "None", "_Ellipsoid"}, {"edges", "'geodesic'", "str"}};
constexpr Keyword edges_option[] = {{"edges", "'geodesic'", "str"}};

}  // namespace

const ShapedFunction geometry_functions[] = {
    {"orvik._engine", "geometry_ellipsoid", ellipsoid_params, edges_option,
     "The ellipsoid of the `ellipsoid=` argument of orvik.geometry's\n"
     "`function` (None for WGS84, a name, or (a, f)), checked as every\n"
     "function checks it, with messages naming that function: (a, f, the\n"
     "ellipsoid's area in m^2).  The functions below take it as (a, f).\n"
     "`edges` (\"geodesic\" or \"rhumb\") is checked by that name too.",
     interop::fastcall(geometry_ellipsoid), "Any", "tuple[float, float, float]"},
    {"orvik._engine", "geometry_ring_measures", cut_params, measure_options,
     "The (area, perimeter) of every ring, in m^2 and m, by GeographicLib's\n"
     "PolygonArea: ring t is elements offsets[t]:offsets[t + 1] of the\n"
     "one-dimensional `lats` and `lons`, closed from its last vertex back to\n"
     "its first; the area is signed, positive counter-clockwise.  A ring with\n"
     "a vertex that is not a point gives NaN.  With edges=\"rhumb\" the edges are\n"
     "rhumb lines (PolygonAreaRhumb).",
     interop::fastcall(geometry_ring_measures), "Any", "tuple[NDArray[np.float64], NDArray[np.float64]]"},
    {"orvik._engine", "geometry_ring_areas", cut_params, measure_options,
     "The signed areas of geometry_ring_measures alone, in m^2, bit for bit\n"
     "the same, at less cost: the edges' lengths are not computed.",
     interop::fastcall(geometry_ring_areas), "Any", "NDArray[np.float64]"},
    {"orvik._engine", "geometry_track_lengths", cut_params, measure_options,
     "The geodesic length in metres of every track (elements\n"
     "offsets[t]:offsets[t + 1] of `lats` and `lons`): 0 for fewer than two\n"
     "vertices, NaN for a vertex that is not a point.",
     interop::fastcall(geometry_track_lengths), "Any", "NDArray[np.float64]"},
    {"orvik._engine", "geometry_plan_edges", plan_params, ellipsoid_option,
     "How every edge of the paths (elements offsets[t]:offsets[t + 1] of\n"
     "`lats` and `lons`) is cut into equal pieces of at most `max_length`\n"
     "metres: (pieces, lengths, azimuths), one per vertex, for the edge it\n"
     "starts; a path's last vertex starts none (0 pieces).  No count exceeds\n"
     "`cap`, so that counts add up without overflow.",
     interop::fastcall(geometry_plan_edges), "Any",
     "tuple[NDArray[np.int64], NDArray[np.float64], NDArray[np.float64]]"},
    {"orvik._engine", "geometry_densify", fill_params, ellipsoid_option,
     "The paths with pieces - 1 points inserted along each vertex's edge on\n"
     "the geodesic, as planned by geometry_plan_edges: (coords, offsets,\n"
     "positions), coords a (points, 2) array of (longitude, latitude) pairs\n"
     "in which every vertex is copied bit for bit, the paths' new offsets,\n"
     "and where each vertex went.  Inserted longitudes are reduced to\n"
     "[-180, 180].",
     interop::fastcall(geometry_densify), "Any",
     "tuple[NDArray[np.float64], NDArray[np.int64], NDArray[np.int64]]"},
    {"orvik._engine", "geometry_circles", circle_params, ellipsoid_option,
     "Geodesic circles of n vertices around the centres (lat, lon), of\n"
     "radius `distance` metres, all three broadcast together: (coords,\n"
     "shapes), coords of the broadcast shape + (n + 6, 2), (longitude,\n"
     "latitude) pairs of a circle's rings one after the other from the start\n"
     "of its row, each closed by its first vertex repeated; shapes of the\n"
     "broadcast shape + (3,), int64: what the circle became (core's\n"
     "CircleShape) and the vertices of its two rings.  A negative distance,\n"
     "an n below 3 or above a million, and a circle that would contain both\n"
     "poles are errors of buffer()'s arguments.",
     interop::fastcall(geometry_circles), "Any", "tuple[NDArray[np.float64], NDArray[np.int64]]"},
};

const std::size_t geometry_function_count = std::size(geometry_functions);

}  // namespace orvik::engine
