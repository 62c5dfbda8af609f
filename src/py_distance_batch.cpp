// Distances over whole arrays: four read-only float64 arrays in, one new
// float64 array out, the elements computed on the worker pool.
#include "src/py_distance_batch.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/geodesic.hpp"
#include "core/great_circle_kernel.hpp"
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

using Views = std::array<ElementView, 4>;

// Ellipsoidal distances, one solver call per element.
struct GeodesicRange {
    const core::Geodesic& solver;
    void operator()(const Views& v, double* out, std::size_t begin, std::size_t end) const noexcept {
        for (std::size_t i = begin; i < end; ++i) {
            out[i] = solver.inverse(v[0][i], v[1][i], v[2][i], v[3][i]).s12;
        }
    }
};

// Spherical distances through the vector kernel, which is also what the
// scalar function uses, so every element matches it bit for bit.  The kernel
// reads its inputs with unaligned loads.
struct GreatCircleRange {
    void operator()(const Views& v, double* out, std::size_t begin, std::size_t end) const noexcept {
        const auto at = [begin](const ElementView& view) {
            return reinterpret_cast<const double*>(view.data + begin * sizeof(double));
        };
        core::great_circle_distance_n(at(v[0]), at(v[1]), at(v[2]), at(v[3]), out + begin,
                                      end - begin);
    }
};

// The map context: the four element views in parameter order and the result
// slots.  Read by every thread; each writes only the slots of its pieces.
template <class Range>
class DistancePieces final : public interop::PieceBody {
public:
    DistancePieces(const Views& views, double* out, Range range)
        : views_(views), out_(out), range_(range),
          all_in_bounds_(std::min({views[0].len, views[1].len, views[2].len, views[3].len})) {}

    // Every element is bounds-checked against all four arrays.  Below the
    // shortest length all checks pass, so they are made once per piece.
    void run(std::size_t begin, std::size_t end) const override {
        const std::size_t checked_end = std::min(end, all_in_bounds_);
        if (begin < checked_end) range_(views_, out_, begin, checked_end);
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

    Views views_;
    double* out_;
    Range range_;
    std::size_t all_in_bounds_;
};

// One batch call.  `make_range` runs on the calling thread after every
// argument is accepted, so one-time set-up never happens on a worker.
template <class MakeRange>
Result<PyObject*> batch(const FunctionDescription& desc, PyObject* const* args, Py_ssize_t nargs,
                        PyObject* kwnames, MakeRange make_range) {
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
    Views views;
    for (std::size_t i = 0; i < 4; ++i) {
        std::optional<ElementView> view = arrays[i]->as_slice();
        if (!view) return ErrorValue::pending(PyExc_TypeError, interop::NOT_CONTIGUOUS_MESSAGE);
        views[i] = *view;
    }
    const auto range = make_range();
    const std::size_t n = views[0].len;

    // The pool comes first, then the one allocation of the result; a failed
    // map frees it before the arrays are released.
    static_cast<void>(interop::pool_thread_count());
    std::optional<interop::FloatVector> result = interop::FloatVector::with_capacity(n);
    if (!result) {
        return ErrorValue::pending(PyExc_MemoryError,
                                   "cannot allocate a result of " + std::to_string(n) + " elements");
    }
    interop::parallel_map(n, DistancePieces(views, result->data(), range));
    result->set_len(n);
    return interop::into_pyarray(std::move(*result));
}

}  // namespace

PyObject* geodesic_distance_batch(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                  PyObject* kwnames) {
    return interop::boundary_guard([&] {
        return batch(geodesic_distance_batch_desc, args, nargs, kwnames,
                     [] { return GeodesicRange{core::wgs84()}; });
    });
}

PyObject* great_circle_distance_batch(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                      PyObject* kwnames) {
    return interop::boundary_guard([&] {
        return batch(great_circle_distance_batch_desc, args, nargs, kwnames,
                     [] { return GreatCircleRange{}; });
    });
}

}  // namespace orvik::py_distance
