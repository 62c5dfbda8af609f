// Distances over operands of one shape with arbitrary strides: broadcast
// inputs (stride 0) are read in place instead of being expanded, so one point
// against many, or an n x m matrix, needs no n x m input arrays.
#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "core/geodesic.hpp"
#include "core/great_circle.hpp"
#include "core/great_circle_kernel.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/parallel_map.hpp"
#include "interop/without_interpreter_lock.hpp"
#include "src/export/buffer_view.hpp"
#include "src/export/functions.hpp"
#include "src/export/strided_walk.hpp"

namespace orvik::exported {
namespace {

using interop::ErrorValue;
using interop::Result;

constexpr std::string_view into_params[] = {"out", "lat1", "lon1", "lat2", "lon2"};
constexpr std::size_t operand_count = std::size(into_params);  // out first

using Layout = StridedLayout<operand_count>;

inline double load(const char* at) noexcept {
    double value;
    std::memcpy(&value, at, sizeof value);  // the buffer need not be aligned
    return value;
}

using Addresses = std::array<char*, operand_count>;
using Steps = std::array<Py_ssize_t, operand_count>;

// Ellipsoidal distances along one stretch, one solver call per element.
struct GeodesicStretch {
    // About a microsecond an element: a dozen cost as much as waking the pool.
    static constexpr std::size_t inline_below = 16;
    const core::Geodesic& solver;
    void operator()(Addresses at, const Steps& step, std::size_t count) const noexcept {
        for (std::size_t i = 0; i < count; ++i) {
            const double d = solver.inverse(load(at[1]), load(at[2]), load(at[3]), load(at[4])).s12;
            std::memcpy(at[0], &d, sizeof d);
            for (std::size_t k = 0; k < operand_count; ++k) at[k] += step[k];
        }
    }
};

// Spherical distances along one stretch.  Steps in whole elements (a
// broadcast input steps 0) go through the vector kernel; anything else, one
// element at a time through the one-point call, which is the same kernel, so
// results are identical either way.
struct GreatCircleStretch {
    // Some 6 ns an element: a few thousand cost as much as waking the pool.
    static constexpr std::size_t inline_below = 2048;
    void operator()(Addresses at, const Steps& step, std::size_t count) const noexcept {
        constexpr auto width = static_cast<Py_ssize_t>(sizeof(double));
        bool whole_elements = step[0] == width;
        for (std::size_t k = 1; k < operand_count; ++k) whole_elements &= step[k] % width == 0;
        if (whole_elements) {
            const auto input = [&](std::size_t k) {
                return core::StridedInput{reinterpret_cast<const double*>(at[k]), step[k] / width};
            };
            core::great_circle_distance_strided(input(1), input(2), input(3), input(4),
                                                reinterpret_cast<double*>(at[0]), count);
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const double d =
                core::great_circle_distance(load(at[1]), load(at[2]), load(at[3]), load(at[4]));
            std::memcpy(at[0], &d, sizeof d);
            for (std::size_t k = 0; k < operand_count; ++k) at[k] += step[k];
        }
    }
};

// One piece [begin, end) of the map, computed stretch by stretch.
template <class Stretch>
class StridedPiece final : public interop::PieceBody {
public:
    StridedPiece(const Layout& layout, Stretch stretch) : layout_(layout), stretch_(stretch) {
        // Along the last axis; a 0-d map has one element and never steps.
        for (std::size_t k = 0; k < operand_count; ++k) {
            step_[k] = layout.ndim ? layout.strides[k][layout.ndim - 1] : 0;
        }
    }

    void run(std::size_t begin, std::size_t end) const override {
        for_each_row(layout_, begin, end,
                     [this](Addresses at, std::size_t count) { stretch_(at, step_, count); });
    }

private:
    const Layout& layout_;
    Stretch stretch_;
    Steps step_{};
};

std::string shape_text(std::span<const Py_ssize_t> shape) {
    std::string text = "(";
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(shape[i]);
    }
    if (shape.size() == 1) text += ",";
    return text + ")";
}

template <class Stretch>
Result<PyObject*> distance_into(const interop::FunctionDescription& desc, PyObject* const* args,
                                Py_ssize_t nargs, PyObject* kwnames, Stretch stretch) {
    PyObject* slots[operand_count] = {};
    if (auto error = interop::extract_arguments_fastcall(desc, args, nargs, kwnames, slots)) {
        return std::move(*error);
    }
    BufferView views[operand_count];
    for (std::size_t k = 0; k < operand_count; ++k) {
        interop::Status s = views[k].acquire(slots[k], into_params[k], k == 0);
        if (!s.ok()) return std::move(s).error();
    }
    const std::span<const Py_ssize_t> shape = views[0].shape();
    for (std::size_t k = 1; k < operand_count; ++k) {
        const std::span<const Py_ssize_t> other = views[k].shape();
        if (!std::equal(shape.begin(), shape.end(), other.begin(), other.end())) {
            return ErrorValue::pending(
                PyExc_ValueError, std::string(desc.name) + "(): '" + std::string(into_params[k]) +
                                      "' has shape " + shape_text(other) + ", 'out' has shape " +
                                      shape_text(shape));
        }
    }

    Layout layout;
    layout.ndim = static_cast<int>(shape.size());
    std::copy(shape.begin(), shape.end(), layout.shape.begin());
    for (std::size_t k = 0; k < operand_count; ++k) {
        layout.data[k] = views[k].data();
        const std::span<const Py_ssize_t> strides = views[k].strides();
        std::copy(strides.begin(), strides.end(), layout.strides[k].begin());
    }
    const StridedPiece<Stretch> body(layout, stretch);
    const std::size_t n = element_count(shape);
    if (n < Stretch::inline_below) {
        // Handing the job to the pool and waking its workers (some 10-20 us)
        // would cost more than the work itself.
        body.run(0, n);
        Py_RETURN_NONE;
    }
    {
        // The workers touch only the buffers, which stay exported (so alive
        // and unresizable) until the views are released below.
        interop::WithoutInterpreterLock unlocked;
        interop::parallel_map(n, body);
    }
    Py_RETURN_NONE;
}

constexpr interop::FunctionDescription geodesic_desc{"geodesic_distance_into", into_params};
constexpr interop::FunctionDescription great_circle_desc{"great_circle_distance_into", into_params};

}  // namespace

PyObject* geodesic_distance_into(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                 PyObject* kwnames) noexcept {
    return interop::boundary_guard([&]() -> Result<PyObject*> {
        // Taken on the calling thread, so a first-time construction never
        // happens on a worker.
        return distance_into(geodesic_desc, args, nargs, kwnames, GeodesicStretch{core::wgs84()});
    });
}

PyObject* great_circle_distance_into(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                     PyObject* kwnames) noexcept {
    return interop::boundary_guard([&]() -> Result<PyObject*> {
        return distance_into(great_circle_desc, args, nargs, kwnames, GreatCircleStretch{});
    });
}

}  // namespace orvik::exported
