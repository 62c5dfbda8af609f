// The package's kernels for geometries (orvik.geometry): densifying the edges
// of ragged polylines and rings, in a planning pass and a filling pass, and
// drawing geodesic circles.  The Python side lays out the buffers; these
// check them and split the work over the pool.
#include "src/engine/geometry_kernels.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/geodesic.hpp"
#include "core/geometry.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "src/engine/array_run.hpp"
#include "src/engine/ellipsoid.hpp"

namespace orvik::engine {
namespace {

using interop::FunctionDescription;
using interop::PythonError;

// Rough nanoseconds per unit of work on one core.
constexpr double edge_plan_ns = 1100;  // an inverse problem
constexpr double fill_point_ns = 150;  // a point along a line
constexpr double fill_line_ns = 400;   // setting a line up
constexpr double direct_ns = 700;      // a circle's vertex

[[noreturn]] void fail(PyObject* type, std::string_view function, const std::string& what) {
    throw PythonError::pending(type, std::string(function) + "(): " + what);
}

template <class Body>
PyObject* guarded(Body&& body) noexcept {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            body();
            Py_RETURN_NONE;
        },
        interop::InternalFailureStyle::runtime_error);
}

template <class Fn>
class RangePieces final : public runtime::PieceBody {
public:
    explicit RangePieces(const Fn& fn) : fn_(fn) {}
    void run(std::size_t begin, std::size_t end) const override { fn_(begin, end); }

private:
    const Fn& fn_;
};

template <class Fn>
void run_ranges(std::size_t n, const Fn& fn, double ns_per_element) {
    run_pieces(n, RangePieces<Fn>(fn), ns_per_element);
}

// A contiguous buffer of int64.  An input is copied when checked: the
// kernels read it without the interpreter lock, when another thread could
// write the caller's buffer, and its values decide where the kernels write.
class Int64Buffer {
public:
    Int64Buffer(std::string_view function, std::string_view param, PyObject* obj, bool writable)
        : function_(function), param_(param) {
        const int flags = PyBUF_C_CONTIGUOUS | PyBUF_FORMAT | (writable ? PyBUF_WRITABLE : 0);
        if (PyObject_GetBuffer(obj, &view_, flags) < 0) {
            throw interop::argument_extraction_error(param, interop::fetch_error());
        }
        held_ = true;
        const std::string_view format = view_.format ? view_.format : "B";
        const bool int64 = view_.itemsize == 8 && (format == "q" || format == "l" || format == "=q" ||
                                                   format == "<q" || format == "@q" || format == "@l");
        if (!int64) fail(PyExc_TypeError, function, std::string(param) + " must be an int64 buffer");
        size_ = static_cast<std::size_t>(view_.len / 8);
    }
    Int64Buffer(const Int64Buffer&) = delete;
    Int64Buffer& operator=(const Int64Buffer&) = delete;
    ~Int64Buffer() {
        if (held_) PyBuffer_Release(&view_);
    }

    std::size_t size() const noexcept { return size_; }
    void require_size(std::size_t n) const {
        if (size_ != n) {
            fail(PyExc_ValueError, function_,
                 std::string(param_) + " must hold " + std::to_string(n) + " values, not " + std::to_string(size_));
        }
    }
    std::vector<std::int64_t> copy() const {
        const auto* first = static_cast<const std::int64_t*>(view_.buf);
        return {first, first + size_};
    }
    std::int64_t* data() const noexcept { return static_cast<std::int64_t*>(view_.buf); }

private:
    std::string_view function_, param_;
    Py_buffer view_{};
    bool held_ = false;
    std::size_t size_ = 0;
};

// A one-dimensional layout of `n` elements.
template <std::size_t K>
std::size_t column_length(std::string_view function, const runtime::StridedLayout<K>& layout,
                          std::string_view what) {
    if (layout.ndim != 1) fail(PyExc_ValueError, function, std::string(what) + " must be one-dimensional");
    return static_cast<std::size_t>(layout.shape[0]);
}

template <std::size_t K>
core::StridedIn in_column(const runtime::StridedLayout<K>& layout, std::size_t k) noexcept {
    return {layout.data[k], layout.strides[k][0]};
}

template <std::size_t K>
core::StridedOut out_column(const runtime::StridedLayout<K>& layout, std::size_t k) noexcept {
    return {layout.data[k], layout.strides[k][0]};
}

double float_argument(std::string_view param, PyObject* value) { return interop::extract_argument(param, value); }

std::size_t size_argument(std::string_view function, std::string_view param, PyObject* value) {
    const std::size_t n = PyLong_AsSize_t(value);
    if (n == static_cast<std::size_t>(-1) && PyErr_Occurred()) {
        PyErr_Clear();
        fail(PyExc_ValueError, function, std::string(param) + " must be a non-negative int");
    }
    return n;
}

// --- the ellipsoid's area ---------------------------------------------------------

constexpr std::string_view area_params[] = {"ellipsoid"};
constexpr FunctionDescription area_desc{"geometry_ellipsoid_area", area_params};

PyObject* geometry_ellipsoid_area(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[1] = {};
            PyObject* const* a = interop::bind_arguments(area_desc, args, nargs, kwnames, slots);
            const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(a[0]);
            PyObject* result = PyFloat_FromDouble(solver->solver().EllipsoidArea());
            if (result == nullptr) interop::throw_python_error();
            return result;
        },
        interop::InternalFailureStyle::runtime_error);
}

// --- densifying: the plan -----------------------------------------------------------

// The paths (polylines or rings, each closed by its repeated first vertex)
// between offsets into the coordinate columns: checked to run from 0 to
// `total` without decreasing.
std::vector<std::int64_t> path_offsets(std::string_view function, const Int64Buffer& buffer, std::size_t total) {
    std::vector<std::int64_t> offsets = buffer.copy();
    if (offsets.empty() || offsets.front() != 0 || offsets.back() != static_cast<std::int64_t>(total)) {
        fail(PyExc_ValueError, function, "offsets must run from 0 to the length of the columns");
    }
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        if (offsets[i] < offsets[i - 1]) fail(PyExc_ValueError, function, "offsets must not decrease");
    }
    return offsets;
}

constexpr std::string_view plan_params[] = {"pieces", "lengths", "azimuths", "lats", "lons",
                                            "offsets", "max_length", "cap", "ellipsoid"};
constexpr FunctionDescription plan_desc{"geometry_plan_edges_into", plan_params};

PyObject* geometry_plan_edges_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[9] = {};
        PyObject* const* a = interop::bind_arguments(plan_desc, args, nargs, kwnames, slots);
        const std::string_view name = plan_desc.name;
        const double max_length = float_argument("max_length", a[6]);
        if (!(max_length > 0) || !std::isfinite(max_length)) {
            fail(PyExc_ValueError, name, "max_length must be a positive finite number of metres");
        }
        const std::size_t cap_count = size_argument(name, "cap", a[7]);
        const auto cap = static_cast<std::int64_t>(
            std::clamp<std::size_t>(cap_count, 1, std::numeric_limits<std::int64_t>::max() / 2));
        const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(a[8]);
        const Operands<4> columns(name, {a[1], a[2], a[3], a[4]}, 2,
                                  std::span<const std::string_view, 4>(plan_params + 1, 4));
        const std::size_t n = column_length(name, columns.layout(), "the columns");
        const Int64Buffer pieces(name, "pieces", a[0], /*writable=*/true);
        pieces.require_size(n);
        const std::vector<std::int64_t> offsets = path_offsets(name, Int64Buffer(name, "offsets", a[5], false), n);
        const core::Geodesic& g = *solver;
        const auto& layout = columns.layout();
        const core::StridedOut lengths = out_column(layout, 0), azimuths = out_column(layout, 1);
        const core::StridedIn lat = in_column(layout, 2), lon = in_column(layout, 3);
        std::int64_t* counts = pieces.data();
        const auto body = [&](std::size_t begin, std::size_t end) {
            // The path of `begin`: the last whose start is at or before it.
            auto path = static_cast<std::size_t>(
                std::upper_bound(offsets.begin(), offsets.end(), static_cast<std::int64_t>(begin)) -
                offsets.begin() - 1);
            for (std::size_t i = begin; i < end; ++i) {
                while (static_cast<std::int64_t>(i) >= offsets[path + 1]) ++path;
                if (static_cast<std::int64_t>(i + 1) < offsets[path + 1]) {
                    const core::EdgePlan plan = core::plan_edge(g, lat[i], lon[i], lat[i + 1], lon[i + 1], max_length, cap);
                    counts[i] = plan.pieces;
                    lengths.set(i, plan.length);
                    azimuths.set(i, plan.azimuth);
                } else {
                    counts[i] = 0;  // a path's last vertex starts no edge
                    lengths.set(i, 0.0);
                    azimuths.set(i, 0.0);
                }
            }
        };
        run_ranges(n, body, edge_plan_ns);
    });
}

// --- densifying: the points -------------------------------------------------------

constexpr std::string_view fill_params[] = {"out_lats", "out_lons", "lats", "lons", "lengths",
                                            "azimuths", "pieces", "positions", "ellipsoid"};
constexpr FunctionDescription fill_desc{"geometry_densify_into", fill_params};

PyObject* geometry_densify_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[9] = {};
        PyObject* const* a = interop::bind_arguments(fill_desc, args, nargs, kwnames, slots);
        const std::string_view name = fill_desc.name;
        const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(a[8]);
        const Operands<2> out(name, {a[0], a[1]}, 2, std::span<const std::string_view, 2>(fill_params, 2));
        const Operands<4> in(name, {a[2], a[3], a[4], a[5]}, 0, std::span<const std::string_view, 4>(fill_params + 2, 4));
        const std::size_t total = column_length(name, out.layout(), "the outputs");
        const std::size_t n = column_length(name, in.layout(), "the columns");
        const Int64Buffer pieces_buffer(name, "pieces", a[6], false), positions_buffer(name, "positions", a[7], false);
        pieces_buffer.require_size(n);
        positions_buffer.require_size(n);
        const std::vector<std::int64_t> pieces = pieces_buffer.copy(), positions = positions_buffer.copy();
        // Each vertex and the points after it fit before the next vertex.
        for (std::size_t i = 0; i < n; ++i) {
            const std::int64_t next = i + 1 < n ? positions[i + 1] : static_cast<std::int64_t>(total);
            const std::int64_t least = i == 0 ? 0 : positions[i - 1] + 1;
            if (positions[i] < least || pieces[i] < 0 || positions[i] + std::max<std::int64_t>(pieces[i], 1) > next) {
                fail(PyExc_ValueError, name, "positions and pieces do not fit the outputs");
            }
        }
        const core::Geodesic& g = *solver;
        const auto& o = out.layout();
        const auto& c = in.layout();
        const core::StridedIn lat = in_column(c, 0), lon = in_column(c, 1), length = in_column(c, 2),
                              azimuth = in_column(c, 3);
        const auto at = [&](std::size_t k, std::size_t position) {
            const auto offset = static_cast<std::ptrdiff_t>(position) * o.strides[k][0];
            return core::StridedOut{o.data[k] + offset, o.strides[k][0]};
        };
        const auto body = [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const auto p = static_cast<std::size_t>(positions[i]);
                // The vertex itself, bit for bit.
                at(0, p).set(0, lat[i]);
                at(1, p).set(0, lon[i]);
                const core::EdgePlan plan{length[i], azimuth[i], pieces[i]};
                core::fill_edge(g, lat[i], lon[i], plan, at(0, p + 1), at(1, p + 1));
            }
        };
        const double points = static_cast<double>(total) / static_cast<double>(std::max<std::size_t>(n, 1));
        run_ranges(n, body, fill_line_ns + points * fill_point_ns);
    });
}

// --- circles --------------------------------------------------------------------

constexpr std::string_view circle_params[] = {"out_lats", "out_lons", "shapes", "lats", "lons",
                                              "radii", "n", "unroll", "ellipsoid"};
constexpr FunctionDescription circle_desc{"geometry_circles_into", circle_params};

PyObject* geometry_circles_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[9] = {};
        PyObject* const* a = interop::bind_arguments(circle_desc, args, nargs, kwnames, slots);
        const std::string_view name = circle_desc.name;
        const std::size_t n = size_argument(name, "n", a[6]);
        if (n < 3) fail(PyExc_ValueError, name, "n must be at least 3");
        const int unroll = PyObject_IsTrue(a[7]);
        if (unroll < 0) interop::throw_python_error();
        const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(a[8]);
        const Operands<2> out(name, {a[0], a[1]}, 2, std::span<const std::string_view, 2>(circle_params, 2));
        const Operands<3> in(name, {a[3], a[4], a[5]}, 0, std::span<const std::string_view, 3>(circle_params + 3, 3));
        const std::size_t count = column_length(name, in.layout(), "the centres");
        const auto& o = out.layout();
        if (o.ndim != 2 || static_cast<std::size_t>(o.shape[0]) != count ||
            static_cast<std::size_t>(o.shape[1]) < core::circle_capacity(n)) {
            fail(PyExc_ValueError, name, "the outputs must have a row of at least n + 6 vertices per centre");
        }
        const Int64Buffer shapes(name, "shapes", a[2], /*writable=*/true);
        shapes.require_size(3 * count);
        const core::Geodesic& g = *solver;
        const core::StridedIn lat = in_column(in.layout(), 0), lon = in_column(in.layout(), 1),
                              radius = in_column(in.layout(), 2);
        std::int64_t* shape = shapes.data();
        const auto row = [&](std::size_t k, std::size_t i) {
            return core::StridedOut{o.data[k] + static_cast<std::ptrdiff_t>(i) * o.strides[k][0], o.strides[k][1]};
        };
        const auto body = [&](std::size_t begin, std::size_t end) {
            core::CircleMaker maker(g, n, unroll != 0);
            for (std::size_t i = begin; i < end; ++i) {
                const core::CircleOutline outline = maker.draw(lat[i], lon[i], radius[i], row(0, i), row(1, i));
                shape[3 * i] = static_cast<std::int64_t>(outline.shape);
                shape[3 * i + 1] = static_cast<std::int64_t>(outline.sizes[0]);
                shape[3 * i + 2] = static_cast<std::int64_t>(outline.sizes[1]);
            }
        };
        run_ranges(count, body, direct_ns * static_cast<double>(n / 2 + 1));
    });
}

}  // namespace

const interop::FunctionRecord geometry_kernel_records[] = {
    {"geometry_ellipsoid_area", interop::fastcall(geometry_ellipsoid_area), interop::FASTCALL,
     "geometry_ellipsoid_area(ellipsoid)\n--\n\nThe ellipsoid's total area in m^2."},
    {"geometry_plan_edges_into", interop::fastcall(geometry_plan_edges_into), interop::FASTCALL,
     "geometry_plan_edges_into(pieces, lengths, azimuths, lats, lons, offsets, max_length, cap, ellipsoid)\n--\n\n"
     "For each vertex that starts an edge of its path (the stretches of `lats` and\n"
     "`lons` between int64 `offsets`): the edge's length and azimuth and its number\n"
     "of equal pieces of at most `max_length` metres (at most `cap`); 0 pieces for a\n"
     "path's last vertex."},
    {"geometry_densify_into", interop::fastcall(geometry_densify_into), interop::FASTCALL,
     "geometry_densify_into(out_lats, out_lons, lats, lons, lengths, azimuths, pieces, positions, ellipsoid)\n--\n\n"
     "Writes each vertex to its position in the outputs, followed by the points that\n"
     "cut its edge into the planned pieces."},
    {"geometry_circles_into", interop::fastcall(geometry_circles_into), interop::FASTCALL,
     "geometry_circles_into(out_lats, out_lons, shapes, lats, lons, radii, n, unroll, ellipsoid)\n--\n\n"
     "Draws a geodesic circle of n vertices per centre into a row of the (centres,\n"
     "n + 6) outputs; `shapes` (int64, 3 per centre) gets its shape and the sizes of\n"
     "its two rings."},
};

const std::size_t geometry_kernel_count = std::size(geometry_kernel_records);

}  // namespace orvik::engine
