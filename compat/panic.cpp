#include "compat/panic.hpp"

#include <atomic>
#include <cstdio>
#include <string>

#include "compat/contract.hpp"
#include "interop/errors.hpp"
#include "interop/py_ref.hpp"
#include "runtime/failure.hpp"

namespace orvik::compat {
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

const interop::InternalFailureReport panic_report{panic_exception_type, contract::panic_without_message};

void resume_fetched_panic(PyObject* exception) {
    // No instance of PanicException can exist before its type does, so there
    // is nothing to compare against until the first internal failure.
    PyObject* type = panic_exception_type_if_created();
    if (type == nullptr || !Py_IS_TYPE(exception, reinterpret_cast<PyTypeObject*>(type))) return;
    std::fputs("--- A panic is being resumed after a PanicException was fetched from Python. ---\n"
               "Python stack trace below:\n",
               stderr);
    std::fflush(stderr);
    PyErr_SetRaisedException(interop::PyRef::borrow(exception).release());
    PyErr_PrintEx(0);
    throw InternalFailure{interop::text_or(exception, "Unwrapped panic from Python code")};
}

}  // namespace orvik::compat
