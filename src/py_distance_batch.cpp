// Distances over whole arrays: four read-only float64 arrays in, one new
// float64 array out, the elements computed on the worker pool.
#include "src/py_distance_batch.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/geodesic.hpp"
#include "core/great_circle.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/float_vector.hpp"
#include "interop/panic.hpp"
#include "interop/parallel_map.hpp"
#include "interop/readonly_array.hpp"
#include "interop/slice_container.hpp"

namespace orvik::py_distance {
namespace {

using interop::ElementView;
using interop::ErrorValue;
using interop::FunctionDescription;
using interop::PyReadonlyArray;
using interop::Result;

constexpr std::string_view batch_params[] = {"lat1", "lon1", "lat2", "lon2"};
constexpr FunctionDescription geodesic_distance_batch_desc{"geodesic_distance_batch", batch_params};
constexpr FunctionDescription great_circle_distance_batch_desc{"great_circle_distance_batch",
                                                               batch_params};

// The map context: the four element views in parameter order and the result
// slots.  Read by every thread; each writes only the slots of its pieces.
template <class Distance>
class DistancePieces final : public interop::PieceBody {
public:
    DistancePieces(const std::array<ElementView, 4>& views, double* out, Distance distance)
        : views_(views), out_(out), distance_(distance),
          all_in_bounds_(std::min({views[0].len, views[1].len, views[2].len, views[3].len})) {}

    // Every element is bounds-checked against all four arrays.  Below the
    // shortest length all checks pass, so they are made once per piece.
    void run(std::size_t begin, std::size_t end) const override {
        const std::size_t checked_end = std::min(end, all_in_bounds_);
        const auto& [lat1, lon1, lat2, lon2] = views_;
        for (std::size_t i = begin; i < checked_end; ++i) {
            out_[i] = distance_(lat1[i], lon1[i], lat2[i], lon2[i]);
        }
        if (checked_end < end) fail_at(std::max(begin, checked_end));
    }

private:
    // The first array, in parameter order, too short for index i.
    [[noreturn]] void fail_at(std::size_t i) const {
        std::size_t len = 0;
        for (const ElementView& view : views_) {
            if (view.len <= i) {
                len = view.len;
                break;
            }
        }
        std::string message = "index out of bounds: the len is " + std::to_string(len) +
                              " but the index is " + std::to_string(i);
        interop::report_failure(message);
        throw interop::ElementFailure{i, std::move(message)};
    }

    std::array<ElementView, 4> views_;
    double* out_;
    Distance distance_;
    std::size_t all_in_bounds_;
};

// One batch call.  `make_distance` runs on the calling thread after every
// argument is accepted, so one-time set-up never happens on a worker.
template <class MakeDistance>
Result<PyObject*> batch(const FunctionDescription& desc, PyObject* const* args, Py_ssize_t nargs,
                        PyObject* kwnames, MakeDistance make_distance) {
    PyObject* slots[4] = {};
    if (auto error = interop::extract_arguments_fastcall(desc, args, nargs, kwnames, slots)) {
        return std::move(*error);
    }
    // Destroyed last to first: lon2 is released first on every path.
    std::optional<PyReadonlyArray> arrays[4];
    for (std::size_t i = 0; i < 4; ++i) {
        Result<PyReadonlyArray> accepted = PyReadonlyArray::accept(slots[i]);
        if (!accepted.ok()) {
            return interop::argument_extraction_error(desc.params[i], std::move(accepted).error());
        }
        arrays[i].emplace(std::move(accepted.value()));
    }
    std::array<ElementView, 4> views;
    for (std::size_t i = 0; i < 4; ++i) {
        std::optional<ElementView> view = arrays[i]->as_slice();
        if (!view) return ErrorValue::pending(PyExc_TypeError, interop::NOT_CONTIGUOUS_MESSAGE);
        views[i] = *view;
    }
    const auto distance = make_distance();
    const std::size_t n = views[0].len;

    // The pool comes first, then the one allocation of the result; a failed
    // map frees it before the arrays are released.
    static_cast<void>(interop::pool_thread_count());
    std::optional<interop::FloatVector> result = interop::FloatVector::with_capacity(n);
    if (!result) {
        return ErrorValue::pending(PyExc_MemoryError,
                                   "cannot allocate a result of " + std::to_string(n) + " elements");
    }
    interop::parallel_map(n, DistancePieces(views, result->data(), distance));
    result->set_len(n);
    return interop::into_pyarray(std::move(*result));
}

}  // namespace

PyObject* geodesic_distance_batch(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                  PyObject* kwnames) {
    return interop::boundary_guard([&] {
        return batch(geodesic_distance_batch_desc, args, nargs, kwnames, [] {
            const core::Geodesic& solver = core::wgs84();
            return [&solver](double lat1, double lon1, double lat2, double lon2) noexcept {
                return solver.inverse(lat1, lon1, lat2, lon2).s12;
            };
        });
    });
}

PyObject* great_circle_distance_batch(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                      PyObject* kwnames) {
    return interop::boundary_guard([&] {
        return batch(great_circle_distance_batch_desc, args, nargs, kwnames, [] {
            return [](double lat1, double lon1, double lat2, double lon2) noexcept {
                return core::great_circle_distance(lat1, lon1, lat2, lon2);
            };
        });
    });
}

}  // namespace orvik::py_distance
