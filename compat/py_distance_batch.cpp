// Distances over whole arrays: four read-only float64 arrays in, one new
// float64 array out.  The elements are computed by the same kernels and the
// same parallel map as the package's array functions; what is particular
// here is the contract of these two functions: one-dimensional contiguous
// float64 arrays only, borrowed in NumPy's borrow registry, the length of the
// first array deciding, and an index failure where another array is shorter.
#include "compat/py_distance_batch.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/geodesic.hpp"
#include "core/great_circle_kernel.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "compat/float_vector.hpp"
#include "compat/readonly_array.hpp"
#include "compat/slice_container.hpp"
#include "runtime/failure.hpp"
#include "runtime/parallel_for.hpp"
#include "compat/contract.hpp"
#include "compat/panic.hpp"
#include "compat/native_pool.hpp"

namespace orvik::compat::py_distance {
namespace {

using compat::ElementView;
using interop::FunctionDescription;
using compat::PyReadonlyArray;
using interop::PythonError;

constexpr std::string_view batch_params[] = {"lat1", "lon1", "lat2", "lon2"};
constexpr FunctionDescription geodesic_distance_batch_desc{"geodesic_distance_batch", batch_params};
constexpr FunctionDescription great_circle_distance_batch_desc{"great_circle_distance_batch",
                                                               batch_params};

using Views = std::array<ElementView, 4>;

// One stretch of elements [begin, end) of the four inputs into the result.
struct Columns {
    std::array<core::StridedIn, 4> in;
    core::StridedOut out;
};

Columns columns(const Views& v, double* out, std::size_t begin) {
    Columns c{};
    for (std::size_t k = 0; k < 4; ++k) {
        c.in[k] = {reinterpret_cast<const char*>(v[k].data + begin * sizeof(double)), sizeof(double)};
    }
    c.out = core::contiguous(out + begin);
    return c;
}

struct GeodesicDistances {
    const core::Geodesic& solver;
    void operator()(const Columns& c, std::size_t count) const noexcept {
        core::inverse_strided(solver, c.in.data(), &c.out, core::inverse_s12, count);
    }
};

struct GreatCircleDistances {
    void operator()(const Columns& c, std::size_t count) const noexcept {
        core::great_circle_distance_strided(c.in[0], c.in[1], c.in[2], c.in[3], c.out, count);
    }
};

// Every element is bounds-checked against all four arrays.  Below the
// shortest length all checks pass, so they are made once per piece.
template <class Kernel>
class BatchPieces final : public runtime::PieceBody {
public:
    BatchPieces(const Views& views, double* out, Kernel kernel)
        : views_(views), out_(out), kernel_(kernel),
          all_in_bounds_(std::min({views[0].len, views[1].len, views[2].len, views[3].len})) {}

    void run(std::size_t begin, std::size_t end) const override {
        const std::size_t checked_end = std::min(end, all_in_bounds_);
        if (begin < checked_end) kernel_(columns(views_, out_, begin), checked_end - begin);
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
        report_failure(message);
        throw runtime::ElementFailure{i, std::move(message)};
    }

    Views views_;
    double* out_;
    Kernel kernel_;
    std::size_t all_in_bounds_;
};

// One batch call.  `make_kernel` runs on the calling thread after every
// argument is accepted, so one-time set-up never happens on a worker.
template <class MakeKernel>
PyObject* batch(const FunctionDescription& desc, PyObject* const* args, Py_ssize_t nargs,
                PyObject* kwnames, MakeKernel make_kernel) {
    PyObject* slots[4] = {};
    PyObject* const* bound = interop::bind_arguments(desc, args, nargs, kwnames, slots);
    // Destroyed last to first: lon2 is released first on every path.
    std::optional<PyReadonlyArray> arrays[4];
    for (std::size_t i = 0; i < 4; ++i) {
        try {
            arrays[i].emplace(PyReadonlyArray::accept(bound[i]));
        } catch (PythonError& error) {
            throw interop::argument_extraction_error(desc.params[i], std::move(error));
        }
    }
    Views views;
    for (std::size_t i = 0; i < 4; ++i) {
        std::optional<ElementView> view = arrays[i]->as_slice();
        if (!view) throw PythonError::pending(PyExc_TypeError, contract::not_contiguous);
        views[i] = *view;
    }
    const auto kernel = make_kernel();
    const std::size_t n = views[0].len;

    // The pool comes first, then the one allocation of the result; a failed
    // map frees it before the arrays are released.
    runtime::WorkerPool& pool = native_pool();
    std::optional<FloatVector> result = FloatVector::with_capacity(n);
    if (!result) {
        throw PythonError::pending(PyExc_MemoryError,
                                   "cannot allocate a result of " + std::to_string(n) + " elements");
    }
    // The interpreter lock stays held: these functions never let other
    // Python threads run, and cannot be interrupted.
    runtime::parallel_for(&pool, n, BatchPieces(views, result->data(), kernel));
    result->set_len(n);
    return into_pyarray(std::move(*result));
}

}  // namespace

PyObject* geodesic_distance_batch(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                  PyObject* kwnames) {
    return interop::boundary_guard([&] {
        return batch(geodesic_distance_batch_desc, args, nargs, kwnames,
                     [] { return GeodesicDistances{core::wgs84()}; });
    }, panic_report);
}

PyObject* great_circle_distance_batch(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                      PyObject* kwnames) {
    return interop::boundary_guard([&] {
        return batch(great_circle_distance_batch_desc, args, nargs, kwnames,
                     [] { return GreatCircleDistances{}; });
    }, panic_report);
}

}  // namespace orvik::compat::py_distance
