// The package's kernels over whole lines, tracks and rings.  The Python side
// converts and lays out the buffers; these split the work over the pool:
// points of lines one by one (a long line is shared by several threads), and
// tracks and rings in the parts core/ defines for them, joined in order
// afterwards (so that a result does not depend on the number of threads).
#include "engine/line_kernels.hpp"

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
#include "core/geodesic_lines.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "engine/array_run.hpp"
#include "engine/ellipsoid.hpp"

namespace orvik::engine {
namespace {

using interop::FunctionDescription;
using interop::PythonError;

// Rough nanoseconds per unit of work on one core, for deciding what is worth
// the pool and how long pieces may be.
constexpr double position_ns = 100;    // one point along a line
constexpr double line_ns = 1300;       // setting a line up: an inverse problem
constexpr double edge_ns = 850;        // one edge of a track: a distance
constexpr double ring_edge_ns = 1000;  // one edge of a ring: distance and area

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
        interop::runtime_error_report);
}

// A function of index ranges as the body of a map.
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

std::size_t count_argument(std::string_view function, std::string_view param, PyObject* value) {
    const std::size_t n = PyLong_AsSize_t(value);
    if (n == static_cast<std::size_t>(-1) && PyErr_Occurred()) {
        PyErr_Clear();
        fail(PyExc_ValueError, function, std::string(param) + " must be a non-negative int");
    }
    return n;
}

// Refuses a layout without `ndim` dimensions.
template <std::size_t K>
void require_ndim(std::string_view function, const runtime::StridedLayout<K>& layout, int ndim,
                  std::string_view what) {
    if (layout.ndim != ndim) {
        fail(PyExc_ValueError, function, std::string(what) + " must have " + std::to_string(ndim) +
                                             (ndim == 1 ? " dimension" : " dimensions"));
    }
}

// The start of each track in the concatenated columns, and the end of the
// last: a contiguous one-dimensional buffer of int64.  Copied when checked:
// the kernels read them without the interpreter lock, when another thread
// could write the caller's buffer.
class Offsets {
public:
    Offsets(std::string_view function, PyObject* obj) {
        if (obj == Py_None) return;
        Py_buffer view;
        if (PyObject_GetBuffer(obj, &view, PyBUF_C_CONTIGUOUS | PyBUF_FORMAT) < 0) {
            throw interop::argument_extraction_error("offsets", interop::fetch_error());
        }
        const std::unique_ptr<Py_buffer, decltype(&PyBuffer_Release)> held(&view, PyBuffer_Release);
        const std::string_view format = view.format ? view.format : "B";
        const bool int64 = view.itemsize == 8 && (format == "q" || format == "l" || format == "=q" ||
                                                  format == "<q" || format == "@q" || format == "@l");
        if (!int64 || view.ndim != 1 || view.shape[0] < 1) {
            fail(PyExc_TypeError, function, "offsets must be a one-dimensional int64 buffer, not empty");
        }
        const auto* first = static_cast<const std::int64_t*>(view.buf);
        values_.assign(first, first + view.shape[0]);
        given_ = true;
    }

    bool given() const noexcept { return given_; }
    std::span<const std::int64_t> values() const noexcept { return values_; }

private:
    std::vector<std::int64_t> values_;
    bool given_ = false;
};

// Where each track (or ring) lies: a row of two-dimensional columns, or a
// stretch of one-dimensional ones between two offsets.
class Tracks {
public:
    Tracks(std::string_view function, const runtime::StridedLayout<2>& columns, const Offsets& offsets)
        : lat_(columns.data[0]), lon_(columns.data[1]) {
        if (!offsets.given()) {
            require_ndim(function, columns, 2, "lats and lons");
            count_ = static_cast<std::size_t>(columns.shape[0]);
            width_ = static_cast<std::size_t>(columns.shape[1]);
            row_ = {columns.strides[0][0], columns.strides[1][0]};
            step_ = {columns.strides[0][1], columns.strides[1][1]};
            return;
        }
        require_ndim(function, columns, 1, "lats and lons");
        starts_ = offsets.values();
        count_ = starts_.size() - 1;
        step_ = {columns.strides[0][0], columns.strides[1][0]};
        const auto total = static_cast<std::int64_t>(columns.shape[0]);
        if (starts_.front() != 0 || starts_.back() != total) {
            fail(PyExc_ValueError, function, "offsets must run from 0 to the length of the columns");
        }
        for (std::size_t t = 0; t < count_; ++t) {
            if (starts_[t + 1] < starts_[t]) fail(PyExc_ValueError, function, "offsets must not decrease");
        }
    }

    std::size_t count() const noexcept { return count_; }
    std::size_t size(std::size_t t) const noexcept {
        return starts_.empty() ? width_ : static_cast<std::size_t>(starts_[t + 1] - starts_[t]);
    }
    core::StridedIn lat(std::size_t t) const noexcept { return {lat_ + offset(t, 0), step_[0]}; }
    core::StridedIn lon(std::size_t t) const noexcept { return {lon_ + offset(t, 1), step_[1]}; }

private:
    std::ptrdiff_t offset(std::size_t t, std::size_t k) const noexcept {
        const auto i = static_cast<std::ptrdiff_t>(t);
        return starts_.empty() ? i * row_[k] : static_cast<std::ptrdiff_t>(starts_[t]) * step_[k];
    }

    const char* lat_;
    const char* lon_;
    std::size_t count_ = 0, width_ = 0;
    std::array<std::ptrdiff_t, 2> row_{}, step_{};
    std::span<const std::int64_t> starts_;
};

// One value per track: an output buffer of shape (tracks,).
template <std::size_t K>
void require_per_track(std::string_view function, const runtime::StridedLayout<K>& out, const Tracks& tracks) {
    if (out.ndim != 1 || static_cast<std::size_t>(out.shape[0]) != tracks.count()) {
        fail(PyExc_ValueError, function, "the outputs must have one element per track");
    }
}

// --- points along lines -----------------------------------------------------------

constexpr std::string_view points_params[] = {"lat", "lon", "lat1", "lon1", "lat2", "lon2",
                                              "n", "include_ends", "ellipsoid"};
constexpr FunctionDescription points_desc{"geodesic_line_points_into", points_params};

PyObject* geodesic_line_points_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[9] = {};
        PyObject* const* a = interop::bind_arguments(points_desc, args, nargs, kwnames, slots);
        const std::string_view name = points_desc.name;
        const std::size_t n = count_argument(name, "n", a[6]);
        const int include_ends = PyObject_IsTrue(a[7]);
        if (include_ends < 0) interop::throw_python_error();
        const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(a[8]);
        const Operands<4> ends(name, {a[2], a[3], a[4], a[5]}, 0,
                               std::span<const std::string_view, 4>(points_params + 2, 4));
        const Operands<2> points(name, {a[0], a[1]}, 2, std::span<const std::string_view, 2>(points_params, 2));
        const auto& in = ends.layout();
        const auto& out = points.layout();
        require_ndim(name, in, 1, "the endpoints");
        require_ndim(name, out, 1, "the outputs");
        const auto lines = static_cast<std::size_t>(in.shape[0]);
        const auto total = static_cast<std::size_t>(out.shape[0]);
        if ((n != 0 && lines > std::numeric_limits<std::size_t>::max() / n) || lines * n != total) {
            fail(PyExc_ValueError, name, "the outputs must hold n points for each line");
        }
        if (total == 0) return;
        const core::Geodesic& g = *solver;
        const auto point = [&](std::size_t k) {
            const auto at = static_cast<std::ptrdiff_t>(k);
            return std::array<core::StridedOut, 2>{
                core::StridedOut{out.data[0] + at * out.strides[0][0], out.strides[0][0]},
                core::StridedOut{out.data[1] + at * out.strides[1][0], out.strides[1][0]}};
        };
        const auto endpoint = [&](std::size_t k, std::size_t line) {
            return core::StridedIn{in.data[k], in.strides[k][0]}[line];
        };
        const auto body = [&](std::size_t begin, std::size_t end) {
            // Points [begin, end) in line order: a piece may start or stop
            // inside a line, which it then sets up itself.
            std::size_t line = begin / n, first = begin % n;
            for (std::size_t k = begin; k < end; ++line, first = 0) {
                const std::size_t last = std::min(n, first + (end - k));
                const core::LinePoints points_of(g, endpoint(0, line), endpoint(1, line), endpoint(2, line),
                                                 endpoint(3, line), n, include_ends != 0);
                const auto columns = point(k);
                points_of.write(first, last, columns[0], columns[1]);
                k += last - first;
            }
        };
        run_ranges(total, body, position_ns + line_ns / static_cast<double>(n));
    });
}

// --- parts of tracks and rings ----------------------------------------------------

// Every track (or ring) in its parts (core::parts_of), numbered track after
// track: the work items of a map, each computed on its own.
class Parts {
public:
    Parts(const Tracks& tracks, bool rings) : first_(tracks.count() + 1, 0) {
        for (std::size_t t = 0; t < tracks.count(); ++t) {
            const std::size_t n = tracks.size(t);
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

// --- lengths of tracks ------------------------------------------------------------

constexpr std::string_view length_params[] = {"out", "lats", "lons", "offsets", "ellipsoid"};
constexpr FunctionDescription length_desc{"geodesic_path_length_into", length_params};

PyObject* geodesic_path_length_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[5] = {};
        PyObject* const* a = interop::bind_arguments(length_desc, args, nargs, kwnames, slots);
        const std::string_view name = length_desc.name;
        const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(a[4]);
        const Operands<2> columns(name, {a[1], a[2]}, 0, std::span<const std::string_view, 2>(length_params + 1, 2));
        const Offsets offsets(name, a[3]);
        const Tracks tracks(name, columns.layout(), offsets);
        const Operands<1> result(name, {a[0]}, 1, std::span<const std::string_view, 1>(length_params, 1));
        require_per_track(name, result.layout(), tracks);
        const core::Geodesic& g = *solver;
        const Parts parts(tracks, /*rings=*/false);
        std::vector<double> partial(parts.count());
        const auto body = [&](std::size_t begin, std::size_t end) {
            parts.each(begin, end, [&](std::size_t t, std::size_t part, std::size_t at) {
                partial[at] = core::track_part(g, tracks.lat(t), tracks.lon(t), tracks.size(t), part);
            });
        };
        run_ranges(parts.count(), body, parts.ns_per_part(edge_ns));
        const auto& out = result.layout();
        const core::StridedOut lengths{out.data[0], out.strides[0][0]};
        for (std::size_t t = 0; t < tracks.count(); ++t) {
            lengths.set(t, core::join_track_parts(&partial[parts.first(t)], parts.first(t + 1) - parts.first(t)));
        }
    });
}

// --- areas of rings ---------------------------------------------------------------

constexpr std::string_view area_params[] = {"area", "perimeter", "lats", "lons", "offsets", "ellipsoid"};
constexpr FunctionDescription area_desc{"geodesic_polygon_area_into", area_params};

PyObject* geodesic_polygon_area_into(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guarded([&] {
        PyObject* slots[6] = {};
        PyObject* const* a = interop::bind_arguments(area_desc, args, nargs, kwnames, slots);
        const std::string_view name = area_desc.name;
        const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid(a[5]);
        const Operands<2> columns(name, {a[2], a[3]}, 0, std::span<const std::string_view, 2>(area_params + 2, 2));
        const Offsets offsets(name, a[4]);
        const Tracks rings(name, columns.layout(), offsets);
        const Operands<2> result(name, {a[0], a[1]}, 2, std::span<const std::string_view, 2>(area_params, 2));
        require_per_track(name, result.layout(), rings);
        const core::Geodesic& g = *solver;
        const Parts parts(rings, /*rings=*/true);
        std::vector<core::RingMeasure> measures(parts.count());
        const auto body = [&](std::size_t begin, std::size_t end) {
            parts.each(begin, end, [&](std::size_t t, std::size_t part, std::size_t at) {
                measures[at] = core::ring_part(g, rings.lat(t), rings.lon(t), rings.size(t), part);
            });
        };
        run_ranges(parts.count(), body, parts.ns_per_part(ring_edge_ns));
        const auto& out = result.layout();
        const core::StridedOut areas{out.data[0], out.strides[0][0]};
        const core::StridedOut perimeters{out.data[1], out.strides[1][0]};
        for (std::size_t t = 0; t < rings.count(); ++t) {
            const core::RingMeasure m =
                core::join_ring_parts(g, rings.lat(t), rings.lon(t), rings.size(t), &measures[parts.first(t)]);
            areas.set(t, m.area);
            perimeters.set(t, m.perimeter);
        }
    });
}

}  // namespace

const interop::FunctionRecord line_kernel_records[] = {
    {"geodesic_line_points_into", interop::fastcall(geodesic_line_points_into), interop::FASTCALL,
     "geodesic_line_points_into(lat, lon, lat1, lon1, lat2, lon2, n, include_ends, ellipsoid)\n--\n\n"
     "Fills `lat` and `lon` (n points per line, line after line) with points along\n"
     "the geodesics between the one-dimensional endpoint buffers."},
    {"geodesic_path_length_into", interop::fastcall(geodesic_path_length_into), interop::FASTCALL,
     "geodesic_path_length_into(out, lats, lons, offsets, ellipsoid)\n--\n\n"
     "Fills `out` with the length of each track: the rows of two-dimensional `lats`\n"
     "and `lons`, or (with int64 `offsets`) their stretches between offsets."},
    {"geodesic_polygon_area_into", interop::fastcall(geodesic_polygon_area_into), interop::FASTCALL,
     "geodesic_polygon_area_into(area, perimeter, lats, lons, offsets, ellipsoid)\n--\n\n"
     "Fills `area` and `perimeter` with those of each ring, laid out as for\n"
     "geodesic_path_length_into."},
};

const std::size_t line_kernel_count = std::size(line_kernel_records);

}  // namespace orvik::engine
