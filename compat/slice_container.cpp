#include "compat/slice_container.hpp"

#include <atomic>

#include "interop/errors.hpp"
#include "compat/numpy_access.hpp"
#include "interop/py_ref.hpp"
#include "runtime/failure.hpp"

namespace orvik::compat {

using interop::PyRef;
using interop::throw_python_error;
namespace {

struct SliceContainer {
    PyObject ob_base;
    FloatVector::ReleaseFn release;
    void* data;
    std::size_t len;
    std::size_t capacity;
};

void container_dealloc(PyObject* self) noexcept {
    auto* container = reinterpret_cast<SliceContainer*>(self);
    if (container->release != nullptr) {
        container->release(container->data, container->len, container->capacity);
    }
    PyTypeObject* type = Py_TYPE(self);
    reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free))(self);
    Py_DECREF(type);  // instances of a heap type hold a reference to it
}

PyType_Slot container_slots[] = {
    {Py_tp_doc, const_cast<char*>("Utility type that keeps a buffer safely on the Python heap.")},
    {Py_tp_dealloc, reinterpret_cast<void*>(container_dealloc)},
    {0, nullptr},
};

// Only this module makes instances: one made from Python would own nothing.
// A name without a module makes CPython 3.13 warn at creation, which fails
// outright under warnings-as-errors; so it is made in "builtins" and renamed
// below, which keeps its name and repr plain "PySliceContainer".
PyType_Spec container_spec = {
    "builtins.PySliceContainer",
    sizeof(SliceContainer),
    0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION,
    container_slots,
};

std::atomic<PyTypeObject*> container_type{nullptr};

PyTypeObject* slice_container_type() {
    if (PyTypeObject* type = container_type.load(std::memory_order_acquire)) return type;
    auto* created = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&container_spec));
    if (created != nullptr) {
        PyRef name = PyRef::steal(PyUnicode_FromString("PySliceContainer"));
        if (!name || PyObject_SetAttrString(reinterpret_cast<PyObject*>(created), "__name__",
                                            name.get()) < 0) {
            Py_CLEAR(created);
        }
    }
    if (created == nullptr) {
        // Out of memory is MemoryError, like any other allocation that fails.
        if (PyErr_ExceptionMatches(PyExc_MemoryError)) throw_python_error();
        PyErr_Print();
        fail("failed to create type object for PySliceContainer");
    }
    PyTypeObject* expected = nullptr;
    if (!container_type.compare_exchange_strong(expected, created, std::memory_order_acq_rel)) {
        Py_DECREF(created);
        return expected;
    }
    return created;
}

// A holder that owns the vector's buffer from now on.
PyRef make_container(FloatVector&& values) {
    PyTypeObject* type = slice_container_type();
    auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
    PyRef holder = PyRef::steal(alloc(type, 0));
    // On failure `values` still owns the buffer and frees it as the error
    // unwinds.
    if (!holder) throw_python_error();
    const FloatVector::Raw raw = std::move(values).into_raw();
    auto* container = reinterpret_cast<SliceContainer*>(holder.get());
    container->release = raw.release;
    container->data = raw.data;
    container->len = raw.len;
    container->capacity = raw.capacity;
    return holder;
}

}  // namespace

PyObject* into_pyarray(FloatVector&& values) {
    const numpy::Api api = numpy_api();
    double* data = values.data();
    Py_intptr_t dims[1] = {static_cast<Py_intptr_t>(values.size())};
    Py_intptr_t strides[1] = {sizeof(double)};
    PyRef holder = make_container(std::move(values));
    PyObject* descr = api.descr_from_type(numpy::NPY_DOUBLE);
    if (descr == nullptr) throw_python_error();
    PyRef array = PyRef::steal(api.new_from_descr(api.array_type(), descr, 1, dims, strides, data,
                                                  numpy::NPY_ARRAY_WRITEABLE, nullptr));
    if (!array) throw_python_error();
    // The array takes over the holder's reference, also when this fails.
    if (api.set_base_object(array.get(), holder.release()) < 0) {
        // The holder, and with it the buffer, is gone: the array must not
        // survive it.
        array.reset();
        throw_python_error();
    }
    return array.release();
}

}  // namespace orvik::compat
