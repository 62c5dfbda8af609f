// orvik.geodesic.distance_to_line: the nearest point of one polyline to
// many points.  The line is read once and indexed (core/line_distance),
// building on the pool when it is long; the points broadcast like the
// arguments of any elementwise function and are answered on the pool, each
// piece of the work with its own scratch memory.
#include "engine/line_distance_function.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/line_distance.hpp"
#include "engine/array_argument.hpp"
#include "engine/array_run.hpp"
#include "engine/broadcast.hpp"
#include "engine/ellipsoid.hpp"
#include "engine/numpy_access.hpp"
#include "engine/pandas_series.hpp"
#include "engine/result_keys.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "interop/results.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;

constexpr std::string_view params[] = {"lat", "lon", "line_lat", "line_lon"};
constexpr std::string_view keywords[] = {"ellipsoid"};
constexpr interop::FunctionDescription desc{"distance_to_line", params, keywords};

// The results, in order; `segment` is an int64 column.
constexpr const char* result_names[] = {"distance", "segment", "along", "lat", "lon", "side"};
constexpr std::size_t outputs = std::size(result_names);
constexpr std::size_t segment_output = 1;

// Rough nanoseconds per point answered, and per segment of the line built.
constexpr double point_ns = 8000;
constexpr double segment_ns = 4000;

// Inverse problems solved by every call so far, for benchmarks and tests.
std::atomic<unsigned long long> inverses_solved{0};

// The line's coordinates: a one-dimensional array-like, copied.
std::vector<double> vertices_of(std::string_view param, PyObject* obj) {
    const ArrayArgument arg(desc.name, param, obj);
    if (arg.ndim() != 1) {
        throw PythonError::pending(PyExc_ValueError, std::string(desc.name) + "() argument '" + std::string(param) +
                                                         "' must be a one-dimensional array-like of the line's "
                                                         "vertices, not shape " + shape_of(arg).text());
    }
    std::vector<double> values(static_cast<std::size_t>(arg.extent(0)));
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::memcpy(&values[i], arg.data() + static_cast<std::ptrdiff_t>(i) * arg.stride(0), sizeof(double));
    }
    return values;
}

// The line indexed; the core's refusals as ValueError naming the line.
std::unique_ptr<const core::LineDistance> index_line(const core::Geodesic& g, const std::vector<double>& lat,
                                                     const std::vector<double>& lon) {
    if (lat.size() != lon.size()) {
        throw PythonError::pending(PyExc_ValueError, std::string(desc.name) + "(): line_lat and line_lon differ in "
                                                         "length (" + std::to_string(lat.size()) + " and " +
                                                         std::to_string(lon.size()) + ")");
    }
    try {
        std::unique_ptr<const core::LineDistance> line;
        // A long line is built on the pool, without the interpreter lock.
        if (!runs_unlocked(lat.size(), segment_ns)) {
            line = std::make_unique<const core::LineDistance>(g.solver(), lat, lon);
        } else {
            run_interruptible([&](CallRunner& runner) {
                line = std::make_unique<const core::LineDistance>(g.solver(), lat, lon, runner);
            });
        }
        return line;
    } catch (const std::invalid_argument& e) {
        throw PythonError::pending(PyExc_ValueError, std::string(desc.name) + "(): " + e.what());
    } catch (const std::length_error& e) {
        throw PythonError::pending(PyExc_ValueError, std::string(desc.name) + "(): " + e.what());
    }
}

// One point's results, in the order of result_names.
std::array<double, outputs> answer(const core::LineDistance& line, double lat, double lon,
                                   core::LineDistance::Scratch& scratch, std::size_t& inverses) {
    const core::LinePoint p = line.nearest(lat, lon, scratch, &inverses);
    return {p.point.distance, static_cast<double>(p.segment), p.point.along, p.point.lat, p.point.lon, p.point.side};
}

PyObject* result_dict(std::array<PyRef, outputs>& values) {
    PyRef dict = PyRef::steal(PyDict_New());
    if (!dict) throw_python_error();
    for (std::size_t k = 0; k < outputs; ++k) {
        if (PyDict_SetItem(dict.get(), result_key(result_names[k]), values[k].get()) < 0) throw_python_error();
    }
    return dict.release();
}

}  // namespace

PyObject* distance_to_line(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[5] = {};
            PyObject* const* a = interop::bind_arguments(desc, args, nargs, kwnames, slots);
            PyObject* ellipsoid = a == args ? nullptr : slots[4];
            std::vector<ArrayArgument> points;
            points.reserve(2);
            points.emplace_back(desc.name, params[0], a[0]);
            points.emplace_back(desc.name, params[1], a[1]);
            const Shape shape = broadcast_shape(desc.name, points, std::span(params).first(2));
            SeriesIndex series;
            for (std::size_t i = 0; i < 2; ++i) series.add(desc.name, params[i], points[i].series_index());
            const std::vector<double> line_lat = vertices_of(params[2], a[2]);
            const std::vector<double> line_lon = vertices_of(params[3], a[3]);
            const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(desc.name, ellipsoid);
            const std::unique_ptr<const core::LineDistance> line = index_line(*solver, line_lat, line_lon);

            std::array<PyRef, outputs> values;
            if (points[0].is_number() && points[1].is_number()) {
                double lat, lon;
                std::memcpy(&lat, points[0].data(), sizeof lat);
                std::memcpy(&lon, points[1].data(), sizeof lon);
                core::LineDistance::Scratch scratch;
                std::size_t inverses = 0;
                const auto found = answer(*line, lat, lon, scratch, inverses);
                inverses_solved += inverses;
                for (std::size_t k = 0; k < outputs; ++k) {
                    values[k] = PyRef::steal(k == segment_output ? PyLong_FromLongLong(static_cast<long long>(found[k]))
                                                                 : interop::make_float(found[k]));
                    if (!values[k]) throw_python_error();
                }
                return result_dict(values);
            }

            const numpy::Api api = numpy_api();
            runtime::StridedLayout<2 + outputs> layout;
            layout.ndim = shape.ndim;
            std::copy(shape.extent.begin(), shape.extent.begin() + shape.ndim, layout.shape.begin());
            for (std::size_t i = 0; i < 2; ++i) {
                layout.data[i] = const_cast<char*>(points[i].data());
                strides_over(points[i], shape, layout.strides[i].data());
            }
            for (std::size_t k = 0; k < outputs; ++k) {
                const int type = k == segment_output ? numpy::NPY_LONGLONG : numpy::NPY_DOUBLE;
                values[k] = PyRef::steal(api.empty(type, shape.ndim, shape.extent.data()));
                if (!values[k]) throw_python_error();
                const numpy::ArrayFields& out = numpy::fields(values[k].get());
                layout.data[2 + k] = out.data;
                std::copy(out.strides, out.strides + shape.ndim, layout.strides[2 + k].begin());
            }
            const core::LineDistance& indexed = *line;
            const auto stretch = [&](const runtime::Stretch<2 + outputs>& s) {
                core::LineDistance::Scratch scratch;
                std::size_t inverses = 0;
                const core::StridedIn lat{s.at[0], s.step[0]}, lon{s.at[1], s.step[1]};
                for (std::size_t i = 0; i < s.count; ++i) {
                    const auto found = answer(indexed, lat[i], lon[i], scratch, inverses);
                    for (std::size_t k = 0; k < outputs; ++k) {
                        char* at = s.at[2 + k] + static_cast<std::ptrdiff_t>(i) * s.step[2 + k];
                        if (k == segment_output) {
                            const auto segment = static_cast<long long>(found[k]);
                            std::memcpy(at, &segment, sizeof segment);
                        } else {
                            std::memcpy(at, &found[k], sizeof(double));
                        }
                    }
                }
                inverses_solved += inverses;
            };
            BufferPins pins;
            if (runs_unlocked(shape.size(), point_ns)) {
                for (const ArrayArgument& point : points) pins.pin(point.array());
            }
            run_strided(layout, stretch, point_ns);
            for (std::size_t k = 0; k < outputs; ++k) values[k] = series.give(std::move(values[k]));
            return result_dict(values);
        },
        interop::runtime_error_report);
}

PyObject* distance_to_line_inverses(PyObject*, PyObject*) {
    return PyLong_FromUnsignedLongLong(inverses_solved.load());
}

}  // namespace orvik::engine
