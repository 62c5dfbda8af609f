#include "engine/pandas_series.hpp"

#include <atomic>
#include <string>

#include "engine/numpy_access.hpp"
#include "interop/errors.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::throw_python_error;

// pandas.Series, once pandas has been imported by someone; kept for the
// life of the process.
std::atomic<PyObject*> series_type{nullptr};

PyObject* loaded_series_type() {
    if (PyObject* type = series_type.load(std::memory_order_acquire)) return type;
    static PyObject* const name = PyUnicode_InternFromString("pandas");
    if (name == nullptr) throw_python_error();
    PyRef pandas = PyRef::steal(PyImport_GetModule(name));
    if (!pandas) {
        if (PyErr_Occurred()) throw_python_error();
        return nullptr;
    }
    PyRef type = PyRef::steal(PyObject_GetAttrString(pandas.get(), "Series"));
    if (!type) throw_python_error();
    PyObject* expected = nullptr;
    if (series_type.compare_exchange_strong(expected, type.get(), std::memory_order_acq_rel)) {
        return type.release();
    }
    return expected;
}

}  // namespace

PyRef series_index_of(PyObject* obj) {
    PyObject* type = loaded_series_type();
    if (type == nullptr || !PyObject_TypeCheck(obj, reinterpret_cast<PyTypeObject*>(type))) return PyRef{};
    PyRef index = PyRef::steal(PyObject_GetAttrString(obj, "index"));
    if (!index) throw_python_error();
    return index;
}

void SeriesIndex::add(std::string_view function, std::string_view param, PyObject* index) {
    if (index == nullptr) return;
    if (!index_) {
        index_ = PyRef::borrow(index);
        first_param_ = param;
        return;
    }
    if (index == index_.get()) return;
    PyRef same = PyRef::steal(PyObject_CallMethod(index_.get(), "equals", "O", index));
    if (!same) throw_python_error();
    const int truth = PyObject_IsTrue(same.get());
    if (truth < 0) throw_python_error();
    if (truth == 0) {
        throw interop::PythonError::pending(
            PyExc_ValueError, std::string(function) + "(): the pandas indexes of '" + std::string(first_param_) +
                                  "' and '" + std::string(param) +
                                  "' differ; align them first (for example with Series.align)");
    }
}

PyRef SeriesIndex::give(PyRef array) const {
    if (!index_) return array;
    const Py_ssize_t labels = PyObject_Length(index_.get());
    if (labels < 0) throw_python_error();
    const numpy::ArrayFields& a = numpy::fields(array.get());
    if (a.nd != 1 || a.dimensions[0] != labels) return array;
    PyRef series = PyRef::borrow(series_type.load(std::memory_order_acquire));
    PyRef args = PyRef::steal(PyTuple_Pack(1, array.get()));
    PyRef kwargs = PyRef::steal(Py_BuildValue("{s:O,s:O}", "index", index_.get(), "copy", Py_False));
    if (!args || !kwargs) throw_python_error();
    PyRef result = PyRef::steal(PyObject_Call(series.get(), args.get(), kwargs.get()));
    if (!result) throw_python_error();
    return result;
}

}  // namespace orvik::engine
