#include "compat/borrow_registry.hpp"

#include <atomic>
#include <memory>
#include <span>

#include "compat/borrow_table.hpp"
#include "interop/errors.hpp"
#include "compat/numpy_access.hpp"
#include "runtime/failure.hpp"
#include "compat/contract.hpp"

namespace orvik::compat {

using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;
using interop::debug_form;
namespace {

using numpy::fields;

// The record in use, whoever installed it; its capsule is never released.
std::atomic<const BorrowCheckingApi*> registry{nullptr};

// Views share a base: follow the chain of array bases to the object that owns
// the memory.
std::uintptr_t base_address(numpy::Api api, PyObject* array) noexcept {
    PyObject* current = array;
    for (;;) {
        PyObject* base = fields(current).base;
        if (base == nullptr) return reinterpret_cast<std::uintptr_t>(current);
        if (!api.is_array(base)) return reinterpret_cast<std::uintptr_t>(base);
        current = base;
    }
}

BorrowKey key_of(numpy::Api api, PyObject* array) noexcept {
    const numpy::ArrayFields& f = fields(array);
    const auto nd = static_cast<std::size_t>(f.nd);
    return borrow_key(reinterpret_cast<std::uintptr_t>(f.data),
                      std::span<const std::intptr_t>(f.dimensions, nd),
                      std::span<const std::intptr_t>(f.strides, nd), api.element_size(array));
}

// The record's functions.  Callers hold the interpreter lock, which is the
// table's only lock.  The registry is installed only after NumPy's table was
// fetched, so it is loaded whenever these run.
int acquire_shared_entry(void* state, PyObject* array) noexcept {
    const numpy::Api api = numpy::api_if_loaded();
    return static_cast<BorrowTable*>(state)->acquire_shared(base_address(api, array),
                                                            key_of(api, array));
}

int acquire_exclusive_entry(void* state, PyObject* array) noexcept {
    if ((fields(array).flags & numpy::NPY_ARRAY_WRITEABLE) == 0) return BORROW_NOT_WRITEABLE;
    const numpy::Api api = numpy::api_if_loaded();
    return static_cast<BorrowTable*>(state)->acquire_exclusive(base_address(api, array),
                                                               key_of(api, array));
}

void release_shared_entry(void* state, PyObject* array) noexcept {
    const numpy::Api api = numpy::api_if_loaded();
    static_cast<BorrowTable*>(state)->release_shared(base_address(api, array), key_of(api, array));
}

void release_exclusive_entry(void* state, PyObject* array) noexcept {
    const numpy::Api api = numpy::api_if_loaded();
    static_cast<BorrowTable*>(state)->release_exclusive(base_address(api, array),
                                                        key_of(api, array));
}

void destroy_registry(PyObject* capsule) noexcept {
    auto* record = static_cast<BorrowCheckingApi*>(
        PyCapsule_GetPointer(capsule, contract::borrow_registry_attribute));
    if (record == nullptr) {
        PyErr_Clear();
        return;
    }
    delete static_cast<BorrowTable*>(record->state);
    delete record;
}

// A new registry capsule over an empty table.
PyRef make_registry_capsule() {
    auto table = std::make_unique<BorrowTable>();
    auto record = std::make_unique<BorrowCheckingApi>(BorrowCheckingApi{
        1, table.get(), acquire_shared_entry, acquire_exclusive_entry, release_shared_entry,
        release_exclusive_entry});
    PyRef capsule =
        PyRef::steal(PyCapsule_New(record.get(), contract::borrow_registry_attribute, destroy_registry));
    if (!capsule) throw_python_error();
    static_cast<void>(table.release());
    static_cast<void>(record.release());
    return capsule;
}

const BorrowCheckingApi* find_or_install() {
    static_cast<void>(numpy_api());
    PyRef module = PyRef::steal(PyImport_ImportModule(numpy::multiarray_module_name()));
    if (!module) throw_python_error();
    PyRef capsule = PyRef::steal(PyObject_GetAttrString(module.get(), contract::borrow_registry_attribute));
    if (!capsule) {
        // Not there yet: this module installs it.
        PyErr_Clear();
        capsule = make_registry_capsule();
        if (PyObject_SetAttrString(module.get(), contract::borrow_registry_attribute, capsule.get()) < 0) {
            throw_python_error();
        }
    } else if (!PyObject_TypeCheck(capsule.get(), &PyCapsule_Type)) {
        throw PythonError::type_conversion(capsule.get(), contract::capsule_target);
    }
    const char* name = PyCapsule_GetName(capsule.get());
    if (name == nullptr && PyErr_Occurred()) throw_python_error();
    auto* record = static_cast<const BorrowCheckingApi*>(PyCapsule_GetPointer(capsule.get(), name));
    if (record == nullptr) throw_python_error();
    if (record->version < 1) {
        throw PythonError::pending(PyExc_TypeError,
                                   "Version " + std::to_string(record->version) +
                                       " of the borrow checking API is not supported by orvik");
    }
    const BorrowCheckingApi* expected = nullptr;
    if (!registry.compare_exchange_strong(expected, record, std::memory_order_acq_rel)) return expected;
    static_cast<void>(capsule.release());
    return record;
}

const BorrowCheckingApi& the_registry() {
    if (const BorrowCheckingApi* record = registry.load(std::memory_order_acquire)) return *record;
    try {
        return *find_or_install();
    } catch (PythonError& error) {
        PyRef exception = std::move(error).into_exception();
        fail(std::string(contract::borrow_registry_failure) + ": " + debug_form(exception.get()));
    }
}

}  // namespace

int acquire_shared_borrow(PyObject* array) {
    const BorrowCheckingApi& record = the_registry();
    return record.acquire_shared(record.state, array);
}

void release_shared_borrow(PyObject* array) noexcept {
    // Only reached after a successful acquire, so the registry is known.
    const BorrowCheckingApi* record = registry.load(std::memory_order_acquire);
    record->release_shared(record->state, array);
}

}  // namespace orvik::compat
