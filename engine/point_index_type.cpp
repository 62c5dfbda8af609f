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
// Concatenating more radius hits than this lets other threads run meanwhile.
constexpr std::size_t unlocked_copy_from = std::size_t{1} << 20;

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

// The first reference point the core would refuse, if any.
std::optional<std::size_t> first_invalid(const double* lat, const double* lon, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        if (!(std::abs(lat[i]) <= 90.0) || !std::isfinite(lon[i])) return i;
    }
    return std::nullopt;
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

        std::shared_ptr<const core::PointIndex> built;
        std::optional<std::size_t> bad;
        double bad_lat = 0.0, bad_lon = 0.0;  // as read, whatever happens to the arrays after
        std::string refused;
        {
            // Another thread may write to the arrays while the lock is let
            // go; whatever the core then refuses is reported as it says.
            std::optional<interop::WithoutInterpreterLock> unlocked;
            if (n >= unlocked_build_from) unlocked.emplace();
            bad = first_invalid(lat.doubles(), lon.doubles(), n);
            if (bad) {
                bad_lat = lat.doubles()[*bad];
                bad_lon = lon.doubles()[*bad];
            } else {
                try {
                    built = std::make_shared<const core::PointIndex>(
                        std::span<const double>(lat.doubles(), n), std::span<const double>(lon.doubles(), n),
                        shape->equatorial_radius(), shape->flattening());
                } catch (const std::invalid_argument& e) {
                    refused = e.what();
                }
            }
        }
        if (bad) {
            const std::string why =
                !(std::abs(bad_lat) <= 90.0)
                    ? "latitude " + float_text(bad_lat) + "; latitudes must be within [-90, 90]"
                    : "longitude " + float_text(bad_lon) + "; longitudes must be finite";
            throw PythonError::pending(PyExc_ValueError,
                                       "PointIndex(): reference point " + std::to_string(*bad) + " has " + why);
        }
        if (!built) throw PythonError::pending(PyExc_ValueError, "PointIndex(): " + refused);

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
                core::DistanceMethod method, double max_distance, double* distances, std::int64_t* indices)
        : index_(index), lat_(lat), lon_(lon), k_(k), method_(method), max_distance_(max_distance),
          distances_(distances), indices_(indices) {}

    void run(std::size_t begin, std::size_t end) const override {
        core::PointIndex::Scratch scratch;
        for (std::size_t i = begin; i < end; ++i) {
            index_.query(lat_[i], lon_[i], k_, method_, max_distance_, distances_ + i * k_, indices_ + i * k_,
                         scratch);
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
        const QueryPieces body(*index, lat.doubles(), lon.doubles(), k, method, max_distance, distances.doubles(),
                               indices.int64s());
        run_pieces(m, body, query_ns(method, k));
        Py_RETURN_NONE;
    }, failures_as);
}

// The hits of one piece of a radius query, kept until every piece is done.
struct PieceHits {
    std::size_t begin;
    std::vector<core::Neighbor> hits;
};

class RadiusPieces final : public runtime::PieceBody {
public:
    RadiusPieces(const core::PointIndex& index, const double* lat, const double* lon, const double* r,
                 core::DistanceMethod method, bool sort, std::int64_t* counts, std::vector<PieceHits>& pieces,
                 std::mutex& pieces_mutex)
        : index_(index), lat_(lat), lon_(lon), r_(r), method_(method), sort_(sort), counts_(counts),
          pieces_(pieces), pieces_mutex_(pieces_mutex) {}

    void run(std::size_t begin, std::size_t end) const override {
        core::PointIndex::Scratch scratch;
        std::vector<core::Neighbor> hits;
        for (std::size_t i = begin; i < end; ++i) {
            counts_[i] = static_cast<std::int64_t>(
                index_.query_radius(lat_[i], lon_[i], r_[i], method_, sort_, hits, scratch));
        }
        if (hits.empty()) return;
        const std::lock_guard lock(pieces_mutex_);
        pieces_.push_back({begin, std::move(hits)});
    }

private:
    const core::PointIndex& index_;
    const double *lat_, *lon_, *r_;
    core::DistanceMethod method_;
    bool sort_;
    std::int64_t* counts_;
    std::vector<PieceHits>& pieces_;
    std::mutex& pieces_mutex_;
};

PyRef new_bytearray(std::size_t bytes) {
    if (bytes > static_cast<std::size_t>(PY_SSIZE_T_MAX)) throw std::bad_alloc();
    PyRef made = PyRef::steal(PyByteArray_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(bytes)));
    if (!made) throw_python_error();
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
        const RadiusPieces body(*index, lat.doubles(), lon.doubles(), r.doubles(), method, sort, counts + 1, pieces,
                                pieces_mutex);
        run_pieces(m, body, query_ns(method, 1) * 4);

        for (std::size_t i = 0; i < m; ++i) counts[i + 1] += counts[i];
        // Sized from the hits themselves, not from `offsets`: the caller's
        // buffer could have been written by another thread meanwhile.
        std::size_t total = 0;
        for (const PieceHits& piece : pieces) total += piece.hits.size();
        PyRef indices = new_bytearray(total * sizeof(std::int64_t));
        PyRef distances = new_bytearray(total * sizeof(double));
        auto* index_out = reinterpret_cast<std::int64_t*>(PyByteArray_AS_STRING(indices.get()));
        auto* distance_out = reinterpret_cast<double*>(PyByteArray_AS_STRING(distances.get()));
        {
            // Nothing else can see the new bytearrays yet.
            std::optional<interop::WithoutInterpreterLock> unlocked;
            if (total >= unlocked_copy_from) unlocked.emplace();
            std::sort(pieces.begin(), pieces.end(),
                      [](const PieceHits& x, const PieceHits& y) { return x.begin < y.begin; });
            std::size_t at = 0;
            for (PieceHits& piece : pieces) {
                for (const core::Neighbor& hit : piece.hits) {
                    index_out[at] = hit.index;
                    distance_out[at] = hit.distance;
                    ++at;
                }
                std::vector<core::Neighbor>().swap(piece.hits);  // memory back as soon as it is copied
            }
        }
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
