// orvik.neighbors.PointIndex: the core's nearest-neighbour index as a Python
// type.  Its arguments come in as every array function's do (array-likes
// converted and broadcast once, Series paired by index), its results are
// arrays it allocates, and builds and queries run on the worker pool,
// stopping soon after Ctrl-C.
//
// Each instance holds a shared_ptr to an immutable core index.  A query
// copies that pointer before it lets go of the interpreter lock, so the index
// lives as long as any query on it, whatever happens to the Python object in
// the meantime; any number of threads may query at once, each piece of work
// with its own Scratch.
#include "engine/point_index_type.hpp"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/point_index.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "interop/function_object.hpp"
#include "interop/without_interpreter_lock.hpp"
#include "runtime/memory_limit.hpp"
#include "runtime/parallel_for.hpp"
#include "engine/array_argument.hpp"
#include "engine/array_run.hpp"
#include "engine/broadcast.hpp"
#include "engine/ellipsoid.hpp"
#include "engine/numpy_access.hpp"
#include "engine/pandas_series.hpp"
#include "interop/arguments.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;

const interop::InternalFailureReport& failures_as = interop::runtime_error_report;

// Building from fewer points than this keeps the interpreter lock: letting
// go of it and taking it back would cost more than the build.
constexpr std::size_t unlocked_build_from = 4096;

struct IndexObject {
    PyObject ob_base;
    std::shared_ptr<const core::PointIndex> index;
    PyObject* weak_references;  // of the type's __weaklistoffset__
};

const core::PointIndex& index_of(PyObject* self) noexcept {
    return *reinterpret_cast<IndexObject*>(self)->index;
}

core::DistanceMethod method_argument(std::string_view function, PyObject* value) {
    if (PyUnicode_Check(value)) {
        Py_ssize_t size = 0;
        const char* text = PyUnicode_AsUTF8AndSize(value, &size);
        if (text == nullptr) throw_python_error();
        const std::string_view name(text, static_cast<std::size_t>(size));
        if (name == "geodesic") return core::DistanceMethod::geodesic;
        if (name == "great-circle") return core::DistanceMethod::great_circle;
    }
    throw PythonError::pending(PyExc_ValueError, interop::argument_label(function, "method") +
                                                     " must be 'geodesic' or 'great-circle', not " +
                                                     interop::repr_text(value));
}

// A new array of `shape` (plus one axis of `extra` when given) of float64 or
// int64 elements.
PyRef new_array(int type, const Shape& shape, std::optional<std::size_t> extra = std::nullopt) {
    Shape full = shape;
    if (extra) full.extent[full.ndim++] = static_cast<Py_intptr_t>(*extra);
    PyRef array = PyRef::steal(numpy_api().empty(type, full.ndim, full.extent.data()));
    if (!array) throw_python_error();
    return array;
}

template <class T>
T* elements(PyObject* array) noexcept {
    return reinterpret_cast<T*>(numpy::fields(array).data);
}

// The arguments of a query, converted: their shape, and contiguous columns
// of their values in C order.
struct QueryPoints {
    Shape shape;
    std::vector<std::vector<double>> columns;
};

QueryPoints query_points(std::string_view function, std::span<PyObject* const> objects,
                         std::span<const std::string_view> params) {
    std::vector<ArrayArgument> args;
    args.reserve(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) args.emplace_back(function, params[i], objects[i]);
    QueryPoints points;
    points.shape = broadcast_shape(function, args, params);
    SeriesIndex series;
    for (std::size_t i = 0; i < args.size(); ++i) series.add(function, params[i], args[i].series_index());
    for (const ArrayArgument& arg : args) points.columns.push_back(contiguous_values(arg, points.shape));
    return points;
}

// --- construction -----------------------------------------------------------

constexpr std::string_view point_params[] = {"lat", "lon"};
constexpr std::string_view build_keywords[] = {"ellipsoid"};
constexpr interop::FunctionDescription build_desc{"PointIndex", point_params, build_keywords};

PyObject* index_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    return interop::boundary_guard([&]() -> PyObject* {
        // The type's constructor gets a tuple and a dict; they are bound as
        // every function's arguments are.
        const Py_ssize_t nargs = PyTuple_GET_SIZE(args);
        std::vector<PyObject*> flat(args == nullptr ? 0 : static_cast<std::size_t>(nargs));
        for (Py_ssize_t i = 0; i < nargs; ++i) flat[static_cast<std::size_t>(i)] = PyTuple_GET_ITEM(args, i);
        PyRef kwnames;
        if (kwargs != nullptr && PyDict_GET_SIZE(kwargs) > 0) {
            kwnames = PyRef::steal(PyTuple_New(PyDict_GET_SIZE(kwargs)));
            if (!kwnames) throw_python_error();
            Py_ssize_t pos = 0, k = 0;
            PyObject *key, *value;
            while (PyDict_Next(kwargs, &pos, &key, &value)) {
                PyTuple_SET_ITEM(kwnames.get(), k++, Py_NewRef(key));
                flat.push_back(value);
            }
        }
        PyObject* slots[3] = {};
        PyObject* const* a = interop::bind_arguments(build_desc, flat.data(), nargs, kwnames.get(), slots);
        PyObject* ellipsoid = a == flat.data() ? nullptr : slots[2];
        std::vector<ArrayArgument> pair;
        pair.reserve(2);
        pair.emplace_back("PointIndex", "lat", a[0]);
        pair.emplace_back("PointIndex", "lon", a[1]);
        SeriesIndex series;
        series.add("PointIndex", "lat", pair[0].series_index());
        series.add("PointIndex", "lon", pair[1].series_index());
        const Shape shape = point_set_shape("PointIndex", pair, point_params);
        const std::shared_ptr<const core::Geodesic> solver = resolve_ellipsoid("PointIndex", ellipsoid);
        const std::vector<double> lat = contiguous_values(pair[0], shape);
        const std::vector<double> lon = contiguous_values(pair[1], shape);
        const std::size_t n = lat.size();
        if (n >= std::numeric_limits<std::uint32_t>::max()) {
            throw PythonError::pending(PyExc_ValueError,
                                       "PointIndex(): an index holds at most 4294967294 points, not " +
                                           std::to_string(n));
        }

        // Large builds let go of the lock, run on the pool and stop soon
        // after Ctrl-C.
        std::shared_ptr<const core::PointIndex> built;
        const auto build = [&](core::WorkRunner& runner) {
            built = std::make_shared<const core::PointIndex>(lat, lon, solver->equatorial_radius(),
                                                             solver->flattening(), runner);
        };
        try {
            if (n >= unlocked_build_from) {
                run_interruptible(build);
            } else {
                build(core::inline_runner());
            }
        } catch (const core::InvalidPoint& bad) {
            const std::string why =
                !(std::abs(bad.lat) <= 90.0)
                    ? "latitude " + interop::float_repr(bad.lat) + "; latitudes must be within [-90, 90]"
                    : "longitude " + interop::float_repr(bad.lon) + "; longitudes must be finite";
            throw PythonError::pending(PyExc_ValueError,
                                       "PointIndex(): reference point " + std::to_string(bad.index) + " has " + why);
        } catch (const std::invalid_argument& e) {
            throw PythonError::pending(PyExc_ValueError, std::string("PointIndex(): ") + e.what());
        }

        auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
        PyRef self = PyRef::steal(alloc(type, 0));
        if (!self) throw_python_error();
        new (&reinterpret_cast<IndexObject*>(self.get())->index)
            std::shared_ptr<const core::PointIndex>(std::move(built));
        return self.release();
    }, failures_as);
}

void index_dealloc(PyObject* self) noexcept {
    PyTypeObject* type = Py_TYPE(self);
    if (reinterpret_cast<IndexObject*>(self)->weak_references != nullptr) PyObject_ClearWeakRefs(self);
    // Instances exist only once index_new has constructed their pointer.
    reinterpret_cast<IndexObject*>(self)->index.~shared_ptr();
    reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free))(self);
    Py_DECREF(type);  // instances of a heap type hold a reference to it
}

// --- queries ----------------------------------------------------------------

// Rough nanoseconds per query, for deciding what is worth the pool and how
// long pieces may be: one exact distance per result and one more, and a
// walk of the tree.
double query_ns(core::DistanceMethod method, std::size_t k) noexcept {
    const double per_distance = method == core::DistanceMethod::geodesic ? 1000.0 : 60.0;
    return 500.0 + per_distance * (static_cast<double>(std::min<std::size_t>(k, 1u << 20)) + 1.0);
}

class QueryPieces final : public runtime::PieceBody {
public:
    QueryPieces(const core::PointIndex& index, const double* lat, const double* lon, std::size_t k,
                core::DistanceMethod method, double max_distance, double* distances, std::int64_t* indices,
                core::StopCheck* stop)
        : index_(index), lat_(lat), lon_(lon), k_(k), method_(method), max_distance_(max_distance),
          distances_(distances), indices_(indices), stop_(stop) {}

    void run(std::size_t begin, std::size_t end) const override {
        core::PointIndex::Scratch scratch;
        for (std::size_t i = begin; i < end; ++i) {
            index_.query(lat_[i], lon_[i], k_, method_, max_distance_, distances_ + i * k_, indices_ + i * k_,
                         scratch, stop_);
        }
    }

private:
    const core::PointIndex& index_;
    const double *lat_, *lon_;
    std::size_t k_;
    core::DistanceMethod method_;
    double max_distance_;
    double* distances_;
    std::int64_t* indices_;
    core::StopCheck* stop_;
};

constexpr std::string_view query_keywords[] = {"method", "max_distance"};
constexpr std::string_view query_optional[] = {"k"};
constexpr interop::FunctionDescription query_desc{"PointIndex.query", point_params, query_keywords, query_optional};
// The result slots of k for one query point: a float64 and an int64.
constexpr std::size_t slot_bytes = sizeof(double) + sizeof(std::int64_t);

// query(lat, lon, k=1, *, method="geodesic", max_distance=None) ->
// (distances, indices) of shape query_shape + (k,).
PyObject* index_query(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard([&]() -> PyObject* {
        PyObject* slots[5] = {};  // lat, lon, k, method, max_distance
        PyObject* const* a = interop::bind_arguments(query_desc, args, nargs, kwnames, slots);
        const bool keywords = a != args;
        PyObject* k_object = keywords ? slots[2] : nullptr;
        const std::string_view function = query_desc.name;
        const std::size_t k = k_object ? interop::count_argument(function, "k", k_object, 1) : 1;
        const core::DistanceMethod method =
            keywords && slots[3] ? method_argument(function, slots[3]) : core::DistanceMethod::geodesic;
        double max_distance = std::numeric_limits<double>::infinity();
        if (keywords && slots[4] != nullptr && slots[4] != Py_None) {
            max_distance = interop::real_argument(function, "max_distance", slots[4]);
            if (!(max_distance >= 0.0)) {
                throw PythonError::pending(PyExc_ValueError, interop::argument_label(function, "max_distance") +
                                                                 " must be >= 0 metres, not " +
                                                                 interop::repr_text(slots[4]));
            }
        }
        const QueryPoints points = query_points(function, std::span<PyObject* const>(a, 2), point_params);
        const std::size_t m = points.shape.size();
        // Refused before any work: slots beyond n are part of the answer,
        // but outputs that cannot fit in memory would only fail (or get the
        // process killed) later.
        const double needed = static_cast<double>(m) * static_cast<double>(k) * slot_bytes;
        if (needed > static_cast<double>(runtime::memory_limit_bytes())) {
            throw PythonError::pending(PyExc_MemoryError,
                                       std::string(function) + "(): k=" + interop::repr_text(k_object) +
                                           " is too large: " + std::to_string(m) + " query points x k result slots "
                                           "need " + std::to_string(needed) + " bytes, more than this machine's "
                                           "memory");
        }
        PyRef distances = new_array(numpy::NPY_DOUBLE, points.shape, k);
        PyRef indices = new_array(numpy::NPY_LONGLONG, points.shape, k);
        // Held until the end of the call, whoever else lets go of the index.
        const std::shared_ptr<const core::PointIndex> index = reinterpret_cast<IndexObject*>(self)->index;
        run_checked_pieces(m, query_ns(method, k), [&](core::StopCheck* stop) {
            return QueryPieces(*index, points.columns[0].data(), points.columns[1].data(), k, method, max_distance,
                               elements<double>(distances.get()), elements<std::int64_t>(indices.get()), stop);
        });
        PyObject* result = PyTuple_Pack(2, distances.get(), indices.get());
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

// The hits of one piece of a radius query, kept until every piece is done.
struct PieceHits {
    std::size_t begin;
    std::vector<core::Neighbor> hits;
};

// Each hit is held twice at the end: in its piece and in the result.
constexpr std::size_t bytes_per_hit = 2 * (sizeof(std::int64_t) + sizeof(double));

// The hits that every piece has found so far, against what memory can hold:
// a result larger than the machine's memory stops the call with MemoryError
// rather than have the system kill the process.
class HitBudget {
public:
    HitBudget() : most_(runtime::memory_limit_bytes() / bytes_per_hit) {}

    void add(std::size_t hits) noexcept {
        if (found_.fetch_add(hits, std::memory_order_relaxed) + hits > most_) exhaust();
    }
    void exhaust() noexcept { exhausted_.store(true, std::memory_order_relaxed); }
    bool exhausted() const noexcept { return exhausted_.load(std::memory_order_relaxed); }
    std::size_t found() const noexcept { return found_.load(std::memory_order_relaxed); }

private:
    const std::size_t most_;
    std::atomic<std::size_t> found_{0};
    std::atomic<bool> exhausted_{false};
};

// Thrown by the pieces of a radius query once its hits cannot fit.
struct HitsExhaustMemory {};

// What a piece's queries ask every few thousand points: the call's own
// check (Ctrl-C), and whether the hits still fit.
class PieceStop final : public core::StopCheck {
public:
    PieceStop(core::StopCheck* call, HitBudget& budget, const std::vector<core::Neighbor>& hits)
        : call_(call), budget_(budget), hits_(hits) {}

    void check() override {
        if (call_ != nullptr) call_->check();
        count_new_hits();
        if (budget_.exhausted()) throw HitsExhaustMemory{};
    }
    void count_new_hits() noexcept {
        budget_.add(hits_.size() - counted_);
        counted_ = hits_.size();
    }

private:
    core::StopCheck* call_;
    HitBudget& budget_;
    const std::vector<core::Neighbor>& hits_;
    std::size_t counted_ = 0;
};

class RadiusPieces final : public runtime::PieceBody {
public:
    RadiusPieces(const core::PointIndex& index, const double* lat, const double* lon, const double* r,
                 core::DistanceMethod method, bool sort, std::int64_t* counts, std::vector<PieceHits>& pieces,
                 std::mutex& pieces_mutex, HitBudget& budget, core::StopCheck* stop)
        : index_(index), lat_(lat), lon_(lon), r_(r), method_(method), sort_(sort), counts_(counts),
          pieces_(pieces), pieces_mutex_(pieces_mutex), budget_(budget), stop_(stop) {}

    void run(std::size_t begin, std::size_t end) const override {
        core::PointIndex::Scratch scratch;
        std::vector<core::Neighbor> hits;
        PieceStop stop(stop_, budget_, hits);
        try {
            for (std::size_t i = begin; i < end; ++i) {
                stop.check();
                counts_[i] = static_cast<std::int64_t>(
                    index_.query_radius(lat_[i], lon_[i], r_[i], method_, sort_, hits, scratch, &stop));
            }
            stop.count_new_hits();
            if (hits.empty()) return;
            const std::lock_guard lock(pieces_mutex_);
            pieces_.push_back({begin, std::move(hits)});
        } catch (const std::bad_alloc&) {
            stop.count_new_hits();
            budget_.exhaust();  // the other pieces stop too
            throw HitsExhaustMemory{};
        }
    }

private:
    const core::PointIndex& index_;
    const double *lat_, *lon_, *r_;
    core::DistanceMethod method_;
    bool sort_;
    std::int64_t* counts_;
    std::vector<PieceHits>& pieces_;
    std::mutex& pieces_mutex_;
    HitBudget& budget_;
    core::StopCheck* stop_;
};

// Copies the hits of the pieces, in order, into the two outputs.
class HitCopies final : public runtime::PieceBody {
public:
    // `starts[j]`: where the hits of pieces[j] begin in the outputs.
    HitCopies(const std::vector<PieceHits>& pieces, const std::vector<std::size_t>& starts, std::int64_t* indices,
              double* distances)
        : pieces_(pieces), starts_(starts), indices_(indices), distances_(distances) {}

    void run(std::size_t begin, std::size_t end) const override {
        auto j = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), begin) - starts_.begin()) - 1;
        for (std::size_t at = begin; at < end; ++j) {
            const std::vector<core::Neighbor>& hits = pieces_[j].hits;
            const std::size_t stop = std::min(end, starts_[j] + hits.size());
            for (; at < stop; ++at) {
                const core::Neighbor& hit = hits[at - starts_[j]];
                indices_[at] = hit.index;
                distances_[at] = hit.distance;
            }
        }
    }

private:
    const std::vector<PieceHits>& pieces_;
    const std::vector<std::size_t>& starts_;
    std::int64_t* indices_;
    double* distances_;
};

// `hits` is the whole result, or (not all_found) what the search had found
// when it stopped.
[[noreturn]] void hits_beyond_memory(std::size_t hits, bool all_found) {
    throw PythonError::pending(PyExc_MemoryError,
                               "query_radius(): not enough memory for the result: " +
                                   std::string(all_found ? "" : "more than ") + std::to_string(hits) + " hits (" +
                                   std::to_string(bytes_per_hit / 2) +
                                   " bytes each); ask for fewer query points or a smaller r at a time");
}

// An array of `hits` elements of one 8-byte field of the hits.
PyRef hit_output(int type, std::size_t hits) {
    if (hits > static_cast<std::size_t>(PY_SSIZE_T_MAX) / 8) hits_beyond_memory(hits, true);
    const Py_intptr_t dims[1] = {static_cast<Py_intptr_t>(hits)};
    PyRef made = PyRef::steal(numpy_api().empty(type, 1, dims));
    if (!made) {
        if (!PyErr_ExceptionMatches(PyExc_MemoryError)) throw_python_error();
        PyErr_Clear();
        hits_beyond_memory(hits, true);
    }
    return made;
}

constexpr std::string_view radius_params[] = {"lat", "lon", "r"};
constexpr std::string_view radius_keywords[] = {"method", "sort"};
constexpr interop::FunctionDescription radius_desc{"PointIndex.query_radius", radius_params, radius_keywords};

// query_radius(lat, lon, r, *, method="geodesic", sort=True) -> (offsets,
// indices, distances) in CSR form.  Each piece of the queries gathers its own
// hits, and the pieces are joined in order at the end: one pass over the
// queries.
PyObject* index_query_radius(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard([&]() -> PyObject* {
        PyObject* slots[5] = {};
        PyObject* const* a = interop::bind_arguments(radius_desc, args, nargs, kwnames, slots);
        const bool keywords = a != args;
        const std::string_view function = radius_desc.name;
        const core::DistanceMethod method =
            keywords && slots[3] ? method_argument(function, slots[3]) : core::DistanceMethod::geodesic;
        const bool sort = keywords && slots[4] ? interop::flag_argument(function, "sort", slots[4]) : true;
        const QueryPoints points = query_points(function, std::span<PyObject* const>(a, 3), radius_params);
        const std::size_t m = points.shape.size();
        Shape offsets_shape;
        offsets_shape.ndim = 1;
        offsets_shape.extent[0] = static_cast<Py_intptr_t>(m + 1);
        PyRef offsets = new_array(numpy::NPY_LONGLONG, offsets_shape);
        const std::shared_ptr<const core::PointIndex> index = reinterpret_cast<IndexObject*>(self)->index;
        std::int64_t* counts = elements<std::int64_t>(offsets.get());
        counts[0] = 0;
        std::vector<PieceHits> pieces;
        std::mutex pieces_mutex;
        HitBudget budget;
        // Always without the lock and interruptible, however few the query
        // points: one of them may have millions of hits.
        try {
            run_interruptible([&](CallRunner& runner) {
                runner.map(m,
                           RadiusPieces(*index, points.columns[0].data(), points.columns[1].data(),
                                        points.columns[2].data(), method, sort, counts + 1, pieces, pieces_mutex,
                                        budget, &runner),
                           query_ns(method, 1) * 4);
            });
        } catch (const HitsExhaustMemory&) {
            pieces = {};
            hits_beyond_memory(budget.found(), false);
        }

        for (std::size_t i = 0; i < m; ++i) counts[i + 1] += counts[i];
        std::sort(pieces.begin(), pieces.end(), [](const PieceHits& x, const PieceHits& y) { return x.begin < y.begin; });
        std::vector<std::size_t> starts(pieces.size());
        std::size_t total = 0;
        for (std::size_t j = 0; j < pieces.size(); ++j) {
            starts[j] = total;
            total += pieces[j].hits.size();
        }
        const PyRef indices = hit_output(numpy::NPY_LONGLONG, total);
        const PyRef distances = hit_output(numpy::NPY_DOUBLE, total);
        // Nothing else can see the new arrays yet: they are filled without
        // the lock when large.
        run_pieces(total,
                   HitCopies(pieces, starts, elements<std::int64_t>(indices.get()), elements<double>(distances.get())),
                   2.0);
        PyObject* result = PyTuple_Pack(3, offsets.get(), indices.get(), distances.get());
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

// points() -> (lat, lon): new arrays of the reference points, as given.
PyObject* index_points(PyObject* self, PyObject*) {
    return interop::boundary_guard([&]() -> PyObject* {
        const core::PointIndex& index = index_of(self);
        Shape shape;
        shape.ndim = 1;
        shape.extent[0] = static_cast<Py_intptr_t>(index.size());
        PyRef lat = new_array(numpy::NPY_DOUBLE, shape);
        PyRef lon = new_array(numpy::NPY_DOUBLE, shape);
        index.copy_points(elements<double>(lat.get()), elements<double>(lon.get()));
        PyObject* result = PyTuple_Pack(2, lat.get(), lon.get());
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

// Pickled by its points and ellipsoid (the tree is rebuilt on load), through
// functools.partial so that the keyword-only ellipsoid and a subclass
// survive.
PyObject* index_reduce(PyObject* self, PyObject*) {
    return interop::boundary_guard([&]() -> PyObject* {
        PyRef points = PyRef::steal(index_points(self, nullptr));
        if (!points) throw_python_error();
        const core::PointIndex& index = index_of(self);
        PyRef functools = PyRef::steal(PyImport_ImportModule("functools"));
        if (!functools) throw_python_error();
        PyRef partial = PyRef::steal(PyObject_GetAttrString(functools.get(), "partial"));
        if (!partial) throw_python_error();
        PyRef kwargs = PyRef::steal(
            Py_BuildValue("{s:(dd)}", "ellipsoid", index.equatorial_radius(), index.flattening()));
        PyRef type_args = PyRef::steal(PyTuple_Pack(1, reinterpret_cast<PyObject*>(Py_TYPE(self))));
        if (!kwargs || !type_args) throw_python_error();
        PyRef maker = PyRef::steal(PyObject_Call(partial.get(), type_args.get(), kwargs.get()));
        if (!maker) throw_python_error();
        PyObject* result = PyTuple_Pack(2, maker.get(), points.get());
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

PyObject* index_repr(PyObject* self) {
    return interop::boundary_guard([&]() -> PyObject* {
        const core::PointIndex& index = index_of(self);
        // The count with thousands separators, as Python's format spec "," writes it.
        const std::string digits = std::to_string(index.size());
        std::string count;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0) count.push_back(',');
            count.push_back(digits[i]);
        }
        std::string text = "<orvik.neighbors.PointIndex of ";
        text.append(count).append(" points, ellipsoid a=").append(interop::float_repr(index.equatorial_radius()));
        text.append(" f=").append(interop::float_repr(index.flattening())).append(">");
        return PyUnicode_FromString(text.c_str());
    }, failures_as);
}

Py_ssize_t index_length(PyObject* self) noexcept {
    return static_cast<Py_ssize_t>(index_of(self).size());
}

PyObject* get_nbytes(PyObject* self, void*) noexcept {
    return PyLong_FromSize_t(index_of(self).memory_bytes());
}

PyObject* get_ellipsoid(PyObject* self, void*) noexcept {
    const core::PointIndex& index = index_of(self);
    return Py_BuildValue("(dd)", index.equatorial_radius(), index.flattening());
}

PyMethodDef index_methods[] = {
    {"query", interop::fastcall(index_query), interop::FASTCALL,
     "query($self, lat, lon, k=1, *, method='geodesic', max_distance=None)\n--\n\n"
     "The k nearest reference points to each query point.\n\n"
     "Returns (distances, indices): float64 metres and int64 positions of the\n"
     "reference points, of shape query_shape + (k,), where the query shape is that\n"
     "of `lat` and `lon` broadcast together (one query point gives arrays of shape\n"
     "(k,)).  Each row is sorted by distance, ties by the smaller index.\n\n"
     "`method` is \"geodesic\" (on the index's ellipsoid) or \"great-circle\" (the\n"
     "sphere and formula of orvik.distance.great_circle_distance).  Slots beyond n,\n"
     "or beyond `max_distance` metres (inclusive), hold inf and -1; so does the whole\n"
     "row of a query point that is NaN, infinite or has |lat| > 90.  A k whose\n"
     "outputs cannot fit in memory is refused with MemoryError before any work."},
    {"query_radius", interop::fastcall(index_query_radius), interop::FASTCALL,
     "query_radius($self, lat, lon, r, *, method='geodesic', sort=True)\n--\n\n"
     "Every reference point within `r` metres (distance <= r) of each query point.\n\n"
     "`lat`, `lon` and `r` broadcast together.  Returns (offsets, indices, distances)\n"
     "in CSR form: the hits of query i, counting the query points in C order of the\n"
     "broadcast shape, are indices[offsets[i]:offsets[i + 1]] (int64 positions) and\n"
     "distances[offsets[i]:offsets[i + 1]] (float64 metres); offsets has one element\n"
     "more than there are query points.  With `sort` each query's hits are ordered by\n"
     "distance, ties by index; without, by index.  A query point that is NaN,\n"
     "infinite or has |lat| > 90, or whose r is NaN or negative, has no hits.  A\n"
     "result too large for memory raises MemoryError saying how many hits it needed\n"
     "(or had found when it stopped)."},
    {"points", index_points, METH_NOARGS,
     "points($self)\n--\n\nNew float64 arrays (lat, lon) of the reference points, in their input order."},
    {"__reduce__", index_reduce, METH_NOARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef index_getset[] = {
    {"nbytes", get_nbytes, nullptr,
     "Bytes of memory the index holds: the points, their unit vectors and the tree.", nullptr},
    {"ellipsoid", get_ellipsoid, nullptr,
     "The index's ellipsoid as (a, f): equatorial radius in metres and flattening.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

constexpr const char index_doc[] =
    "PointIndex(lat, lon, *, ellipsoid=None)\n--\n\n"
    "An index of reference points for nearest-neighbour queries.\n\n"
    "Copies the n points (degrees; array-likes broadcast together to one\n"
    "dimension, a number being one point).  Each latitude must be within [-90, 90]\n"
    "and each longitude finite: otherwise ValueError names the first bad point, by\n"
    "its position and value.  Points are paired by position, so pandas Series given\n"
    "for both must share one index (ValueError otherwise, as for query).  The\n"
    "ellipsoid is WGS84 unless `ellipsoid` names another ('GRS80', 'WGS72') or gives\n"
    "an (a, f) pair.\n\n"
    "Results refer to reference points by their position, 0 to n - 1 (not by a\n"
    "pandas label).  len(index) is n; index.nbytes the memory the index holds.  An\n"
    "index pickles (the pickle holds the points and the ellipsoid, and the tree is\n"
    "rebuilt on load), so Dask workers and process pools can receive it, and it is\n"
    "immutable: any number of threads may query it at once.";

PyMemberDef index_members[] = {
    {"__weaklistoffset__", Py_T_PYSSIZET, offsetof(IndexObject, weak_references), Py_READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyType_Slot index_slots[] = {
    {Py_tp_members, index_members},
    {Py_tp_doc, const_cast<char*>(index_doc)},
    {Py_tp_new, reinterpret_cast<void*>(index_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(index_dealloc)},
    {Py_tp_repr, reinterpret_cast<void*>(index_repr)},
    {Py_tp_methods, index_methods},
    {Py_tp_getset, index_getset},
    {Py_sq_length, reinterpret_cast<void*>(index_length)},
    {0, nullptr},
};

// Named for the package module that offers it, where pickle finds it;
// subclasses and weak references allowed, as for any class of Python's.
PyType_Spec index_spec = {
    "orvik.neighbors.PointIndex",
    sizeof(IndexObject),
    0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_IMMUTABLETYPE,
    index_slots,
};

}  // namespace

void add_point_index_type(PyObject* module) {
    PyRef type = PyRef::steal(PyType_FromModuleAndSpec(module, &index_spec, nullptr));
    if (!type) throw_python_error();
    if (PyModule_AddObjectRef(module, "PointIndex", type.get()) < 0) throw_python_error();
}

}  // namespace orvik::engine
