#include "engine/array_argument.hpp"

#include <bit>
#include <cstring>
#include <string>

#include "engine/numpy_access.hpp"
#include "engine/pandas_series.hpp"
#include "interop/arguments.hpp"
#include "interop/errors.hpp"
#include "runtime/strided_map.hpp"

namespace orvik::engine {
namespace {

using interop::argument_label;
using interop::PyRef;
using interop::PythonError;

[[noreturn]] void refuse(std::string_view function, std::string_view param, PyObject* obj) {
    throw PythonError::pending(PyExc_TypeError, argument_label(function, param) +
                                                    " must be a number or an array of numbers, not " +
                                                    interop::type_qualname(obj));
}

[[noreturn]] void refuse_contents(std::string_view function, std::string_view param, const std::string& why) {
    throw PythonError::pending(PyExc_TypeError, argument_label(function, param) + ": " + why);
}

// NumPy's own error, reworded to name the argument and chained to it: a
// TypeError stays one, anything else NumPy raises while reading (ValueError,
// OverflowError, ...) becomes a ValueError.
[[noreturn]] void conversion_failed(std::string_view function, std::string_view param) {
    PyRef cause = PyRef::steal(PyErr_GetRaisedException());
    if (!cause) interop::throw_python_error();
    const bool type_error = PyErr_GivenExceptionMatches(cause.get(), PyExc_TypeError);
    if (!type_error && !PyErr_GivenExceptionMatches(cause.get(), PyExc_ValueError) &&
        !PyErr_GivenExceptionMatches(cause.get(), PyExc_OverflowError)) {
        throw PythonError::fetched(std::move(cause));  // MemoryError, KeyboardInterrupt, ...
    }
    const std::string message = argument_label(function, param) + ": " + interop::object_text(cause.get());
    PyErr_SetString(type_error ? PyExc_TypeError : PyExc_ValueError, message.c_str());
    PyRef reworded = PyRef::steal(PyErr_GetRaisedException());
    PyException_SetCause(reworded.get(), cause.release());
    throw PythonError::fetched(std::move(reworded));
}

bool is_masked_array(PyObject* obj) {
    // No masked array can exist unless numpy.ma has been imported.
    static PyObject* const name = PyUnicode_InternFromString("numpy.ma");  // kept for the process
    if (name == nullptr) interop::throw_python_error();
    PyRef ma = PyRef::steal(PyImport_GetModule(name));
    if (!ma) {
        if (PyErr_Occurred()) interop::throw_python_error();
        return false;
    }
    PyRef type = PyRef::steal(PyObject_GetAttrString(ma.get(), "MaskedArray"));
    if (!type) interop::throw_python_error();
    const int masked = PyObject_IsInstance(obj, type.get());
    if (masked < 0) interop::throw_python_error();
    return masked == 1;
}

bool native_order(char byteorder) noexcept {
    return byteorder == '=' || byteorder == '|' ||
           byteorder == (std::endian::native == std::endian::little ? '<' : '>');
}

// Refuses an object array holding a string, bytes or None: NumPy would read
// None as NaN and a string of digits as its number.
void check_objects(std::string_view function, std::string_view param, PyObject* array) {
    const numpy::ArrayFields& a = numpy::fields(array);
    runtime::StridedLayout<1> layout;
    layout.ndim = a.nd;
    layout.data[0] = a.data;
    for (int axis = 0; axis < a.nd; ++axis) {
        layout.shape[axis] = a.dimensions[axis];
        layout.strides[0][axis] = a.strides[axis];
    }
    const char* refused = nullptr;
    runtime::for_each_stretch(layout, 0, layout.size(), [&](const runtime::Stretch<1>& s) {
        for (std::size_t i = 0; i < s.count && refused == nullptr; ++i) {
            PyObject* item;
            std::memcpy(&item, s.at[0] + static_cast<std::ptrdiff_t>(i) * s.step[0], sizeof item);
            if (item == Py_None) refused = "cannot use None as a number";
            else if (PyUnicode_Check(item) || PyBytes_Check(item)) refused = "cannot use strings as numbers";
        }
    });
    if (refused != nullptr) refuse_contents(function, param, refused);
}

}  // namespace

ArrayArgument::ArrayArgument(std::string_view function, std::string_view param, PyObject* obj, Element element) {
    if (element == Element::int64) {
        read_integers(function, param, obj);
        return;
    }
    if (PyFloat_CheckExact(obj)) {
        number_ = PyFloat_AS_DOUBLE(obj);
        is_number_ = true;
        return;
    }
    if (PyLong_CheckExact(obj)) {
        number_ = interop::real_argument(function, param, obj);
        is_number_ = true;
        return;
    }
    if (PyUnicode_Check(obj) || PyBytes_Check(obj) || obj == Py_None) refuse(function, param, obj);
    index_ = series_index_of(obj);

    const numpy::Api api = numpy_api();
    const bool given_array = api.is_array(obj);
    if (given_array) {
        if (!Py_IS_TYPE(obj, api.array_type()) && is_masked_array(obj)) {
            throw PythonError::pending(PyExc_TypeError,
                                       argument_label(function, param) +
                                           " is a masked array; orvik does not apply masks: pass "
                                           "value.filled(numpy.nan) or the unmasked values");
        }
        array_ = PyRef::borrow(obj);
    } else {
        array_ = PyRef::steal(api.from_any(obj, nullptr, 0, 0, 0, nullptr));
        if (!array_) conversion_failed(function, param);
    }

    const numpy::DescrHead& descr = numpy::descr_head(array_.get());
    if (std::string_view("USVMmc").find(descr.kind) != std::string_view::npos) {
        PyRef dtype = PyRef::borrow(numpy::fields(array_.get()).descr);
        refuse_contents(function, param,
                        "cannot use an array of dtype " + interop::object_text(dtype.get()) + " as numbers");
    }
    if (descr.type_num == numpy::NPY_OBJECT) check_objects(function, param, array_.get());
    if (descr.type_num != numpy::NPY_DOUBLE || !native_order(descr.byteorder)) {
        hold_cast(function, param, numpy::NPY_DOUBLE, numpy::NPY_ARRAY_FORCECAST);
    } else {
        hold(std::move(array_));
    }
    // NumPy's scalars and 0-d results of other numbers (Decimal, say) are
    // numbers; a 0-d array given as such stays an array.
    is_number_ = !given_array && ndim_ == 0;
}

void ArrayArgument::read_integers(std::string_view function, std::string_view param, PyObject* obj) {
    if (PyUnicode_Check(obj) || PyBytes_Check(obj) || obj == Py_None || interop::is_bool(obj)) {
        throw PythonError::pending(PyExc_TypeError, argument_label(function, param) +
                                                        " must be an array of integers, not " +
                                                        interop::type_qualname(obj));
    }
    const numpy::Api api = numpy_api();
    array_ = PyRef::steal(api.from_any(obj, nullptr, 0, 0, 0, nullptr));
    if (!array_) conversion_failed(function, param);
    const numpy::DescrHead& descr = numpy::descr_head(array_.get());
    if (descr.kind != 'i' && descr.kind != 'u') {
        PyRef dtype = PyRef::borrow(numpy::fields(array_.get()).descr);
        refuse_contents(function, param, "must hold integers, not " + interop::object_text(dtype.get()));
    }
    if (descr.kind != 'i' || api.element_size(array_.get()) != 8 || !native_order(descr.byteorder)) {
        hold_cast(function, param, numpy::NPY_LONGLONG, 0);  // safe casting: no uint64 wraps
    } else {
        hold(std::move(array_));
    }
}

void ArrayArgument::hold_cast(std::string_view function, std::string_view param, int type, int flags) {
    const numpy::Api api = numpy::api_if_loaded();
    PyObject* descr = api.descr_from_type(type);
    if (descr == nullptr) interop::throw_python_error();
    PyRef cast = PyRef::steal(api.from_array(array_.get(), descr, flags));
    if (!cast) conversion_failed(function, param);
    hold(std::move(cast));
}

void ArrayArgument::hold(PyRef array) noexcept {
    array_ = std::move(array);
    const numpy::ArrayFields& a = numpy::fields(array_.get());
    ndim_ = a.nd;
    shape_ = a.dimensions;
    strides_ = a.strides;
    data_ = a.data;
}

std::size_t ArrayArgument::size() const noexcept {
    std::size_t n = 1;
    for (int axis = 0; axis < ndim_; ++axis) n *= static_cast<std::size_t>(shape_[axis]);
    return n;
}

bool looks_like_array(PyObject* obj) {
    if (PyList_Check(obj) || PyTuple_Check(obj)) return true;
    if (PyUnicode_Check(obj) || PyBytes_Check(obj)) return false;
    static const char* const markers[] = {"__array__", "__array_interface__", "__array_struct__"};
    for (const char* marker : markers) {
        // An error while looking (MemoryError, say) is the call's error,
        // not a missing attribute.
#if PY_VERSION_HEX >= 0x030D0000
        const int found = PyObject_HasAttrStringWithError(obj, marker);
        if (found < 0) interop::throw_python_error();
        if (found == 1) return true;
#else
        PyRef value = PyRef::steal(PyObject_GetAttrString(obj, marker));
        if (value) return true;
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) interop::throw_python_error();
        PyErr_Clear();
#endif
    }
    return false;
}

}  // namespace orvik::engine
