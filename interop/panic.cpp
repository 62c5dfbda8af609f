#include "interop/panic.hpp"

#include <atomic>

#include "src/contract.hpp"

namespace orvik::interop {
namespace {

std::atomic<PyObject*> panic_type{nullptr};

}  // namespace

PyObject* panic_exception_type_if_created() noexcept {
    return panic_type.load(std::memory_order_acquire);
}

PyObject* panic_exception_type() noexcept {
    if (PyObject* t = panic_type.load(std::memory_order_acquire)) return t;
    PyObject* created = PyErr_NewExceptionWithDoc(contract::panic_exception_name,
                                                  contract::panic_exception_doc,
                                                  PyExc_BaseException, nullptr);
    if (created == nullptr) return nullptr;
    // Creating the type can run Python code and let another thread in; the
    // first value stored is kept.
    PyObject* expected = nullptr;
    if (!panic_type.compare_exchange_strong(expected, created, std::memory_order_acq_rel)) {
        Py_DECREF(created);
        return expected;
    }
    return created;
}

}  // namespace orvik::interop
