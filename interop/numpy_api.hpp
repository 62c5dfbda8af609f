// NumPy's C API, reached through the table that NumPy publishes in its
// multiarray module.  NumPy is imported on first use, never at module import,
// and its headers are not needed: the few record layouts read here are
// declared below.
#pragma once

#include <Python.h>

#include <cstddef>
#include <cstdint>

namespace orvik::interop::numpy {

inline constexpr int NPY_BOOL = 0;
inline constexpr int NPY_LONGLONG = 9;  // int64 on every platform this builds for
inline constexpr int NPY_DOUBLE = 12;
inline constexpr int NPY_OBJECT = 17;
inline constexpr int NPY_ARRAY_C_CONTIGUOUS = 0x1;
inline constexpr int NPY_ARRAY_F_CONTIGUOUS = 0x2;
inline constexpr int NPY_ARRAY_ALIGNED = 0x100;
inline constexpr int NPY_ARRAY_FORCECAST = 0x10;
inline constexpr int NPY_ARRAY_WRITEABLE = 0x400;

// The leading fields of NumPy's array object; the same in NumPy 1.x and 2.x.
struct ArrayFields {
    PyObject ob_base;
    char* data;
    int nd;
    Py_intptr_t* dimensions;
    Py_intptr_t* strides;
    PyObject* base;
    PyObject* descr;
    int flags;
};

inline ArrayFields& fields(PyObject* array) noexcept {
    return *reinterpret_cast<ArrayFields*>(array);
}

// The leading fields of a dtype descriptor.  The element size moved and
// widened between the two layouts.
struct DescrFieldsV1 {
    PyObject ob_base;
    PyTypeObject* typeobj;
    char kind, type, byteorder, flags;
    int type_num;
    int elsize;
};
struct DescrFieldsV2 {
    PyObject ob_base;
    PyTypeObject* typeobj;
    char kind, type, byteorder, former_flags;
    int type_num;
    std::uint64_t flags;
    Py_intptr_t elsize;
};

// The leading fields both layouts share.
struct DescrHead {
    PyObject ob_base;
    PyTypeObject* typeobj;
    char kind, type, byteorder, flags;
    int type_num;
};

inline const DescrHead& descr_head(PyObject* array) noexcept {
    return *reinterpret_cast<const DescrHead*>(fields(array).descr);
}

// Feature versions above this one use the second descriptor layout.
inline constexpr unsigned LAST_V1_FEATURE_VERSION = 17;

// The entries of NumPy's table that this module calls.  A thin view over the
// process-wide table pointer; cheap to copy.
class Api {
public:
    explicit Api(void* const* table) noexcept : table_(table) {}

    PyTypeObject* array_type() const noexcept { return static_cast<PyTypeObject*>(table_[2]); }
    // The array type or a subtype of it.
    bool is_array(PyObject* obj) const noexcept {
        return Py_IS_TYPE(obj, array_type()) || PyType_IsSubtype(Py_TYPE(obj), array_type());
    }
    // New reference, or null with an exception set.
    PyObject* descr_from_type(int type_num) const noexcept;
    // Steals `descr`; new reference, or null with an exception set.
    PyObject* new_from_descr(PyTypeObject* subtype, PyObject* descr, int nd,
                             const Py_intptr_t* dims, const Py_intptr_t* strides, void* data,
                             int flags, PyObject* obj) const noexcept;
    bool equiv_types(PyObject* a, PyObject* b) const noexcept;
    // Steals `obj`, also on failure; 0 done, -1 with an exception set.
    int set_base_object(PyObject* array, PyObject* obj) const noexcept;
    // PyArray_FromAny: `obj` as an array, as numpy.asarray makes it (descr
    // null: NumPy discovers the type), or converted to `descr` (stolen).
    // New reference, or null with an exception set.
    PyObject* from_any(PyObject* obj, PyObject* descr, int min_depth, int max_depth, int requirements,
                       PyObject* context) const noexcept;
    // PyArray_FromArray: `array` converted to `descr` (stolen) under the
    // flags (NPY_ARRAY_FORCECAST casts as ndarray.astype does).  New
    // reference, or null with an exception set.
    PyObject* from_array(PyObject* array, PyObject* descr, int flags) const noexcept;
    // A new C-contiguous array of the type, uninitialised.  New reference, or
    // null with an exception set.
    PyObject* empty(int type_num, int nd, const Py_intptr_t* dims) const noexcept;
    // Read once and kept.
    unsigned feature_version() const noexcept;
    // Bytes per element of an array, read from the descriptor layout that
    // the feature version selects.
    std::size_t element_size(PyObject* array) const noexcept;

private:
    template <class Fn>
    Fn entry(std::size_t index) const noexcept {
        return reinterpret_cast<Fn>(table_[index]);
    }
    void* const* table_;
};

// The table, fetched on first use and kept for the life of the process.
// When it cannot be had (NumPy missing or broken), throws the interpreter's
// error as it is; the next use tries again.
Api api();

// The table if it has been fetched already; for code that can only run after
// an array was accepted.
Api api_if_loaded() noexcept;

// "numpy._core.multiarray" or "numpy.core.multiarray", once api() has run.
const char* multiarray_module_name() noexcept;

}  // namespace orvik::interop::numpy
