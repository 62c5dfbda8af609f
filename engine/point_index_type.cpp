// The compiled half of orvik.neighbors.PointIndex.  The Python class converts
// and broadcasts the arguments and allocates the outputs; this type checks
// what it is given (it is callable on its own), builds the core index and
// runs queries over contiguous buffers on the worker pool.
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
#include "engine/array_run.hpp"
#include "engine/ellipsoid.hpp"

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
};

const core::PointIndex& index_of(PyObject* self) noexcept {
    return *reinterpret_cast<IndexObject*>(self)->index;
}

// A C-contiguous buffer of 8-byte elements: float64 or int64, read in place.
class FlatBuffer {
public:
    enum class Kind { float64, int64 };

    FlatBuffer(PyObject* obj, std::string_view param, Kind kind, bool writable) {
        const int flags = PyBUF_C_CONTIGUOUS | PyBUF_FORMAT | (writable ? PyBUF_WRITABLE : 0);
        if (PyObject_GetBuffer(obj, &view_, flags) < 0) {
            throw interop::argument_extraction_error(param, interop::fetch_error());
        }
        if (view_.itemsize != 8 || !has_format(view_.format, kind)) {
            const std::string format = view_.format ? view_.format : "B";
            // A constructor that throws runs no destructor: release here.
            PyBuffer_Release(&view_);
            throw PythonError::pending(PyExc_TypeError,
                                       "argument '" + std::string(param) + "': expected a contiguous buffer of " +
                                           (kind == Kind::float64 ? "float64" : "int64") + ", got format '" +
                                           format + "'");
        }
        held_ = true;
    }
    FlatBuffer(const FlatBuffer&) = delete;
    FlatBuffer& operator=(const FlatBuffer&) = delete;
    ~FlatBuffer() {
        if (held_) PyBuffer_Release(&view_);
    }

    std::size_t size() const noexcept { return static_cast<std::size_t>(view_.len) / 8; }
    double* doubles() const noexcept { return static_cast<double*>(view_.buf); }
    std::int64_t* int64s() const noexcept { return static_cast<std::int64_t*>(view_.buf); }

private:
    // Native byte order only: "d", "l" or "q", bare or with a native prefix.
    static bool has_format(const char* format, Kind kind) noexcept {
        if (format == nullptr) return false;
        std::string_view f(format);
        if (!f.empty() && (f[0] == '@' || f[0] == '=' ||
                           f[0] == (std::endian::native == std::endian::little ? '<' : '>'))) {
            f.remove_prefix(1);
        }
        if (kind == Kind::float64) return f == "d";
        return f == "l" || f == "q";
    }

    Py_buffer view_{};
    bool held_ = false;
};

core::DistanceMethod method_argument(PyObject* value) {
    if (PyUnicode_Check(value)) {
        Py_ssize_t size = 0;
        const char* text = PyUnicode_AsUTF8AndSize(value, &size);
        if (text == nullptr) throw_python_error();
        const std::string_view name(text, static_cast<std::size_t>(size));
        if (name == "geodesic") return core::DistanceMethod::geodesic;
        if (name == "great-circle") return core::DistanceMethod::great_circle;
    }
    const PyRef repr = PyRef::steal(PyObject_Repr(value));
    if (!repr) throw_python_error();
    throw PythonError::pending(PyExc_ValueError,
                               "method must be 'geodesic' or 'great-circle', not " + interop::object_text(repr.get()));
}

bool flag_argument(PyObject* value) {
    const int truth = PyObject_IsTrue(value);
    if (truth < 0) throw_python_error();
    return truth != 0;
}

// repr() of a float, for messages.
std::string float_text(double value) {
    char* text = PyOS_double_to_string(value, 'r', 0, Py_DTSF_ADD_DOT_0, nullptr);
    if (text == nullptr) throw_python_error();
    std::string result(text);
    PyMem_Free(text);
    return result;
}

// --- construction -----------------------------------------------------------

PyObject* index_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    return interop::boundary_guard([&]() -> PyObject* {
        static const char* names[] = {"lat", "lon", "ellipsoid", nullptr};
        PyObject *lat_obj = nullptr, *lon_obj = nullptr, *ellipsoid = Py_None;
        if (!PyArg_ParseTupleAndKeywords(args, kwargs, "OO|O:PointIndex", const_cast<char**>(names),
                                         &lat_obj, &lon_obj, &ellipsoid)) {
            throw_python_error();
        }
        const std::shared_ptr<const core::Geodesic> shape = resolve_ellipsoid("PointIndex", ellipsoid);
        const FlatBuffer lat(lat_obj, "lat", FlatBuffer::Kind::float64, false);
        const FlatBuffer lon(lon_obj, "lon", FlatBuffer::Kind::float64, false);
        const std::size_t n = lat.size();
        if (lon.size() != n) {
            throw PythonError::pending(PyExc_ValueError, "PointIndex(): lat has " + std::to_string(n) +
                                                             " points, lon has " + std::to_string(lon.size()));
        }
        if (n >= std::numeric_limits<std::uint32_t>::max()) {
            throw PythonError::pending(PyExc_ValueError,
                                       "PointIndex(): an index holds at most 4294967294 points, not " +
                                           std::to_string(n));
        }

        // Large builds let go of the lock, run on the pool and stop soon
        // after Ctrl-C.  Another thread may write to the arrays meanwhile:
        // the core reads each point once, and reports the values it read.
        std::shared_ptr<const core::PointIndex> built;
        const auto build = [&](core::WorkRunner& runner) {
            built = std::make_shared<const core::PointIndex>(
                std::span<const double>(lat.doubles(), n), std::span<const double>(lon.doubles(), n),
                shape->equatorial_radius(), shape->flattening(), runner);
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
                    ? "latitude " + float_text(bad.lat) + "; latitudes must be within [-90, 90]"
                    : "longitude " + float_text(bad.lon) + "; longitudes must be finite";
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

constexpr std::string_view query_params[] = {"lat", "lon", "k", "method", "max_distance", "distances", "indices"};
constexpr interop::FunctionDescription query_desc{"query", query_params};

// query(lat, lon, k, method, max_distance, distances, indices): fills the
// m * k slots of the outputs for the m query points.
PyObject* index_query(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard([&]() -> PyObject* {
        PyObject* slots[7] = {};
        PyObject* const* a = interop::bind_arguments(query_desc, args, nargs, kwnames, slots);
        const std::size_t k = PyLong_AsSize_t(a[2]);
        if (k == static_cast<std::size_t>(-1) && PyErr_Occurred()) throw_python_error();
        const core::DistanceMethod method = method_argument(a[3]);
        const double max_distance = interop::extract_argument("max_distance", a[4]);
        const FlatBuffer lat(a[0], "lat", FlatBuffer::Kind::float64, false);
        const FlatBuffer lon(a[1], "lon", FlatBuffer::Kind::float64, false);
        const FlatBuffer distances(a[5], "distances", FlatBuffer::Kind::float64, true);
        const FlatBuffer indices(a[6], "indices", FlatBuffer::Kind::int64, true);
        const std::size_t m = lat.size();
        const bool fits = k == 0 || m <= std::numeric_limits<std::size_t>::max() / k;
        if (lon.size() != m || !fits || distances.size() != m * k || indices.size() != m * k) {
            throw PythonError::pending(PyExc_ValueError,
                                       "query(): lat and lon need one element per query point, distances "
                                       "and indices k per query point");
        }
        // Held until the end of the call, whoever else lets go of the index.
        const std::shared_ptr<const core::PointIndex> index = reinterpret_cast<IndexObject*>(self)->index;
        run_checked_pieces(m, query_ns(method, k), [&](core::StopCheck* stop) {
            return QueryPieces(*index, lat.doubles(), lon.doubles(), k, method, max_distance, distances.doubles(),
                               indices.int64s(), stop);
        });
        Py_RETURN_NONE;
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

// A bytearray for one 8-byte field of `hits` hits.
PyRef hit_output(std::size_t hits) {
    if (hits > static_cast<std::size_t>(PY_SSIZE_T_MAX) / 8) hits_beyond_memory(hits, true);
    PyRef made = PyRef::steal(PyByteArray_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(hits * 8)));
    if (!made) {
        if (!PyErr_ExceptionMatches(PyExc_MemoryError)) throw_python_error();
        PyErr_Clear();
        hits_beyond_memory(hits, true);
    }
    return made;
}

constexpr std::string_view radius_params[] = {"lat", "lon", "r", "method", "sort", "offsets"};
constexpr interop::FunctionDescription radius_desc{"query_radius", radius_params};

// query_radius(lat, lon, r, method, sort, offsets) -> (indices, distances):
// fills the m + 1 offsets of the m query points and returns the hits, in
// query order, as two bytearrays of int64 and float64.  Each piece of the
// queries gathers its own hits, and the pieces are joined in order at the
// end: one pass over the queries.
PyObject* index_query_radius(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard([&]() -> PyObject* {
        PyObject* slots[6] = {};
        PyObject* const* a = interop::bind_arguments(radius_desc, args, nargs, kwnames, slots);
        const core::DistanceMethod method = method_argument(a[3]);
        const bool sort = flag_argument(a[4]);
        const FlatBuffer lat(a[0], "lat", FlatBuffer::Kind::float64, false);
        const FlatBuffer lon(a[1], "lon", FlatBuffer::Kind::float64, false);
        const FlatBuffer r(a[2], "r", FlatBuffer::Kind::float64, false);
        const FlatBuffer offsets(a[5], "offsets", FlatBuffer::Kind::int64, true);
        const std::size_t m = lat.size();
        if (lon.size() != m || r.size() != m || offsets.size() != m + 1) {
            throw PythonError::pending(PyExc_ValueError,
                                       "query_radius(): lat, lon and r need one element per query point, "
                                       "offsets one more");
        }
        const std::shared_ptr<const core::PointIndex> index = reinterpret_cast<IndexObject*>(self)->index;
        std::int64_t* counts = offsets.int64s();
        counts[0] = 0;
        std::vector<PieceHits> pieces;
        std::mutex pieces_mutex;
        HitBudget budget;
        // Always without the lock and interruptible, however few the query
        // points: one of them may have millions of hits.
        try {
            run_interruptible([&](CallRunner& runner) {
                runner.map(m,
                           RadiusPieces(*index, lat.doubles(), lon.doubles(), r.doubles(), method, sort, counts + 1,
                                        pieces, pieces_mutex, budget, &runner),
                           query_ns(method, 1) * 4);
            });
        } catch (const HitsExhaustMemory&) {
            pieces = {};
            hits_beyond_memory(budget.found(), false);
        }

        for (std::size_t i = 0; i < m; ++i) counts[i + 1] += counts[i];
        // Sized from the hits themselves, not from `offsets`: the caller's
        // buffer could have been written by another thread meanwhile.
        std::sort(pieces.begin(), pieces.end(), [](const PieceHits& x, const PieceHits& y) { return x.begin < y.begin; });
        std::vector<std::size_t> starts(pieces.size());
        std::size_t total = 0;
        for (std::size_t j = 0; j < pieces.size(); ++j) {
            starts[j] = total;
            total += pieces[j].hits.size();
        }
        const PyRef indices = hit_output(total);
        const PyRef distances = hit_output(total);
        // Nothing else can see the new bytearrays yet: they are filled
        // without the lock when large.
        run_pieces(total,
                   HitCopies(pieces, starts, reinterpret_cast<std::int64_t*>(PyByteArray_AS_STRING(indices.get())),
                             reinterpret_cast<double*>(PyByteArray_AS_STRING(distances.get()))),
                   2.0);
        PyObject* result = PyTuple_Pack(2, indices.get(), distances.get());
        if (result == nullptr) throw_python_error();
        return result;
    }, failures_as);
}

constexpr std::string_view points_params[] = {"lat", "lon"};
constexpr interop::FunctionDescription points_desc{"points", points_params};

// points(lat, lon): fills two float64 buffers of n elements with the
// reference points as given.
PyObject* index_points(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::boundary_guard([&]() -> PyObject* {
        PyObject* slots[2] = {};
        PyObject* const* a = interop::bind_arguments(points_desc, args, nargs, kwnames, slots);
        const FlatBuffer lat(a[0], "lat", FlatBuffer::Kind::float64, true);
        const FlatBuffer lon(a[1], "lon", FlatBuffer::Kind::float64, true);
        const core::PointIndex& index = index_of(self);
        if (lat.size() != index.size() || lon.size() != index.size()) {
            throw PythonError::pending(PyExc_ValueError, "points(): lat and lon need " +
                                                             std::to_string(index.size()) + " elements each");
        }
        index.copy_points(lat.doubles(), lon.doubles());
        Py_RETURN_NONE;
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
     "query($self, lat, lon, k, method, max_distance, distances, indices)\n--\n\n"
     "Fills the k slots per query point of `distances` (float64) and `indices`\n"
     "(int64); every buffer C-contiguous."},
    {"query_radius", interop::fastcall(index_query_radius), interop::FASTCALL,
     "query_radius($self, lat, lon, r, method, sort, offsets)\n--\n\n"
     "Fills `offsets` (int64, one more than the queries) and returns the hits as\n"
     "bytearrays (indices as int64, distances as float64)."},
    {"points", interop::fastcall(index_points), interop::FASTCALL,
     "points($self, lat, lon)\n--\n\nFills `lat` and `lon` with the reference points."},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef index_getset[] = {
    {"nbytes", get_nbytes, nullptr, "Bytes of memory the index holds.", nullptr},
    {"ellipsoid", get_ellipsoid, nullptr, "The (a, f) of the index's ellipsoid.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot index_slots[] = {
    {Py_tp_doc, const_cast<char*>("PointIndex(lat, lon, ellipsoid=None)\n--\n\n"
                                  "An exact nearest-neighbour index over contiguous float64 points.")},
    {Py_tp_new, reinterpret_cast<void*>(index_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(index_dealloc)},
    {Py_tp_methods, index_methods},
    {Py_tp_getset, index_getset},
    {Py_sq_length, reinterpret_cast<void*>(index_length)},
    {0, nullptr},
};

PyType_Spec index_spec = {
    "orvik._engine.PointIndex",
    sizeof(IndexObject),
    0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE,
    index_slots,
};

}  // namespace

void add_point_index_type(PyObject* module) {
    PyRef type = PyRef::steal(PyType_FromModuleAndSpec(module, &index_spec, nullptr));
    if (!type) throw_python_error();
    if (PyModule_AddObjectRef(module, "PointIndex", type.get()) < 0) throw_python_error();
}

}  // namespace orvik::engine
