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
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/parallel_map.hpp"
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

// One piece [begin, end) of the map, computed stretch by stretch.
template <class Distance>
class StridedPiece final : public interop::PieceBody {
public:
    StridedPiece(const Layout& layout, Distance distance) : layout_(layout), distance_(distance) {
        // Along the last axis; a 0-d map has one element and never steps.
        for (std::size_t k = 0; k < operand_count; ++k) {
            step_[k] = layout.ndim ? layout.strides[k][layout.ndim - 1] : 0;
        }
    }

    void run(std::size_t begin, std::size_t end) const override {
        for_each_row(layout_, begin, end, [this](std::array<char*, operand_count> at, std::size_t count) {
            for (std::size_t i = 0; i < count; ++i) {
                const double d = distance_(load(at[1]), load(at[2]), load(at[3]), load(at[4]));
                std::memcpy(at[0], &d, sizeof d);
                for (std::size_t k = 0; k < operand_count; ++k) at[k] += step_[k];
            }
        });
    }

private:
    const Layout& layout_;
    Distance distance_;
    std::array<Py_ssize_t, operand_count> step_{};
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

// Gives the interpreter lock back for the length of a scope.  Destroyed
// before the buffers are released, since releasing needs the lock.
class WithoutInterpreterLock {
public:
    WithoutInterpreterLock() noexcept : state_(PyEval_SaveThread()) {}
    WithoutInterpreterLock(const WithoutInterpreterLock&) = delete;
    WithoutInterpreterLock& operator=(const WithoutInterpreterLock&) = delete;
    ~WithoutInterpreterLock() { PyEval_RestoreThread(state_); }

private:
    PyThreadState* state_;
};

template <class Distance>
Result<PyObject*> distance_into(const interop::FunctionDescription& desc, PyObject* const* args,
                                Py_ssize_t nargs, PyObject* kwnames, Distance distance) {
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
    const StridedPiece<Distance> body(layout, distance);
    {
        // The workers touch only the buffers, which stay exported (so alive
        // and unresizable) until the views are released below.
        WithoutInterpreterLock unlocked;
        interop::parallel_map(element_count(shape), body);
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
        const core::Geodesic& solver = core::wgs84();
        return distance_into(geodesic_desc, args, nargs, kwnames,
                             [&solver](double lat1, double lon1, double lat2, double lon2) {
            return solver.inverse(lat1, lon1, lat2, lon2).s12;
        });
    });
}

PyObject* great_circle_distance_into(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                     PyObject* kwnames) noexcept {
    return interop::boundary_guard([&]() -> Result<PyObject*> {
        return distance_into(great_circle_desc, args, nargs, kwnames,
                             [](double lat1, double lon1, double lat2, double lon2) {
            return core::great_circle_distance(lat1, lon1, lat2, lon2);
        });
    });
}

}  // namespace orvik::exported
