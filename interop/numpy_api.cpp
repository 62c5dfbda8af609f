#include "interop/numpy_api.hpp"

#include <atomic>
#include <cstdint>
#include <string>

#include "interop/errors.hpp"

namespace orvik::interop::numpy {
namespace {

// Process-wide cells, filled on first use under the interpreter lock.  An
// import can let another thread in; the first value stored is kept.
std::atomic<const char*> multiarray_name{nullptr};
std::atomic<void* const*> api_table{nullptr};
std::atomic<unsigned> feature_version_cell{0};  // 0: not read yet

template <class T>
T* keep_first(std::atomic<T*>& cell, T* value) noexcept {
    T* expected = nullptr;
    if (cell.compare_exchange_strong(expected, value, std::memory_order_acq_rel)) return value;
    return expected;
}

PyRef attribute(PyObject* obj, const char* name) {
    PyRef value = PyRef::steal(PyObject_GetAttrString(obj, name));
    if (!value) throw_python_error();
    return value;
}

PyRef import(const char* name) {
    PyRef module = PyRef::steal(PyImport_ImportModule(name));
    if (!module) throw_python_error();
    return module;
}

std::uint8_t to_u8(PyObject* obj) {
    const long value = PyLong_AsLong(obj);
    if (value == -1 && PyErr_Occurred()) throw_python_error();
    if (value < 0 || value > 255) {
        throw PythonError::pending(PyExc_OverflowError, "out of range integral type conversion attempted");
    }
    return static_cast<std::uint8_t>(value);
}

// The installed NumPy's major version picks where its core lives.
const char* resolve_multiarray_name() {
    if (const char* name = multiarray_name.load(std::memory_order_acquire)) return name;
    PyRef numpy = import("numpy");
    PyRef version = attribute(numpy.get(), "__version__");
    PyRef lib = import("numpy.lib");
    PyRef numpy_version = attribute(lib.get(), "NumpyVersion");
    PyRef parsed = PyRef::steal(PyObject_CallOneArg(numpy_version.get(), version.get()));
    if (!parsed) throw_python_error();
    const std::uint8_t major = to_u8(attribute(parsed.get(), "major").get());
    const char* name = major >= 2 ? "numpy._core.multiarray" : "numpy.core.multiarray";
    return keep_first(multiarray_name, name);
}

void* const* fetch_table() {
    PyRef multiarray = import(resolve_multiarray_name());
    PyRef capsule = attribute(multiarray.get(), "_ARRAY_API");
    PyObject* cap = capsule.get();
    if (!PyObject_TypeCheck(cap, &PyCapsule_Type)) {
        throw PythonError::type_conversion(cap, "PyCapsule");
    }
    const char* capsule_name = PyCapsule_GetName(cap);
    if (capsule_name == nullptr && PyErr_Occurred()) throw_python_error();
    void* pointer = PyCapsule_GetPointer(cap, capsule_name);
    if (pointer == nullptr) throw_python_error();
    void* const* table = static_cast<void* const*>(pointer);
    void* const* kept = keep_first(api_table, table);
    // The capsule owns the table: keep it for the life of the process.
    if (kept == table) static_cast<void>(capsule.release());
    return kept;
}

}  // namespace

Api api() {
    if (void* const* table = api_table.load(std::memory_order_acquire)) return Api(table);
    return Api(fetch_table());
}

Api api_if_loaded() noexcept { return Api(api_table.load(std::memory_order_acquire)); }

const char* multiarray_module_name() noexcept {
    return multiarray_name.load(std::memory_order_acquire);
}

PyObject* Api::descr_from_type(int type_num) const noexcept {
    return entry<PyObject* (*)(int)>(45)(type_num);
}

PyObject* Api::new_from_descr(PyTypeObject* subtype, PyObject* descr, int nd,
                              const Py_intptr_t* dims, const Py_intptr_t* strides, void* data,
                              int flags, PyObject* obj) const noexcept {
    using Fn = PyObject* (*)(PyTypeObject*, PyObject*, int, const Py_intptr_t*, const Py_intptr_t*,
                             void*, int, PyObject*);
    return entry<Fn>(94)(subtype, descr, nd, dims, strides, data, flags, obj);
}

PyObject* Api::from_any(PyObject* obj, PyObject* descr, int min_depth, int max_depth, int requirements,
                        PyObject* context) const noexcept {
    using Fn = PyObject* (*)(PyObject*, PyObject*, int, int, int, PyObject*);
    return entry<Fn>(69)(obj, descr, min_depth, max_depth, requirements, context);
}

PyObject* Api::from_array(PyObject* array, PyObject* descr, int flags) const noexcept {
    return entry<PyObject* (*)(PyObject*, PyObject*, int)>(109)(array, descr, flags);
}

PyObject* Api::empty(int type_num, int nd, const Py_intptr_t* dims) const noexcept {
    PyObject* descr = descr_from_type(type_num);
    if (descr == nullptr) return nullptr;
    return new_from_descr(array_type(), descr, nd, dims, nullptr, nullptr, 0, nullptr);
}

bool Api::equiv_types(PyObject* a, PyObject* b) const noexcept {
    return entry<unsigned char (*)(PyObject*, PyObject*)>(182)(a, b) != 0;
}

int Api::set_base_object(PyObject* array, PyObject* obj) const noexcept {
    return entry<int (*)(PyObject*, PyObject*)>(282)(array, obj);
}

unsigned Api::feature_version() const noexcept {
    unsigned version = feature_version_cell.load(std::memory_order_acquire);
    if (version == 0) {
        version = entry<unsigned (*)()>(211)();
        unsigned expected = 0;
        if (!feature_version_cell.compare_exchange_strong(expected, version, std::memory_order_acq_rel)) {
            version = expected;
        }
    }
    return version;
}

std::size_t Api::element_size(PyObject* array) const noexcept {
    PyObject* descr = fields(array).descr;
    if (feature_version() > LAST_V1_FEATURE_VERSION) {
        return static_cast<std::size_t>(reinterpret_cast<const DescrFieldsV2*>(descr)->elsize);
    }
    return static_cast<std::size_t>(reinterpret_cast<const DescrFieldsV1*>(descr)->elsize);
}

}  // namespace orvik::interop::numpy
