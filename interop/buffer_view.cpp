#include "interop/buffer_view.hpp"

#include <bit>
#include <string>

#include "interop/binding.hpp"
#include "runtime/strided_map.hpp"

namespace orvik::interop {
namespace {

// "d" and its explicit native-order spellings are the only float64 layouts
// read in place; anything else is the caller's to convert.
bool is_native_float64(const char* format) {
    if (format == nullptr) return false;  // unsigned bytes
    const std::string_view f(format);
    if (f == "d" || f == "@d" || f == "=d") return true;
    if constexpr (std::endian::native == std::endian::little) return f == "<d";
    return f == ">d" || f == "!d";
}

}  // namespace

void BufferView::acquire(PyObject* obj, std::string_view param, bool writable) {
    const int flags = PyBUF_STRIDES | PyBUF_FORMAT | (writable ? PyBUF_WRITABLE : 0);
    if (PyObject_GetBuffer(obj, &view_, flags) < 0) {
        throw argument_extraction_error(param, fetch_error());
    }
    held_ = true;
    const std::string name(param);
    if (!is_native_float64(view_.format) || view_.itemsize != 8) {
        const std::string format = view_.format ? view_.format : "B";
        throw PythonError::pending(PyExc_TypeError, "argument '" + name +
                                                        "': expected a buffer of float64, got format '" +
                                                        format + "'");
    }
    if (view_.ndim > runtime::max_dims) {
        throw PythonError::pending(PyExc_ValueError, "argument '" + name + "': more than " +
                                                         std::to_string(runtime::max_dims) + " dimensions");
    }
    if (view_.ndim > 0 && (view_.shape == nullptr || view_.strides == nullptr)) {
        throw PythonError::pending(PyExc_TypeError,
                                   "argument '" + name + "': the buffer has no shape or strides");
    }
}

BufferView::~BufferView() {
    if (held_) PyBuffer_Release(&view_);
}

std::span<const Py_ssize_t> BufferView::shape() const noexcept {
    return {view_.shape, static_cast<std::size_t>(view_.ndim)};
}

std::span<const Py_ssize_t> BufferView::strides() const noexcept {
    return {view_.strides, static_cast<std::size_t>(view_.ndim)};
}

std::string shape_text(std::span<const Py_ssize_t> shape) {
    std::string text = "(";
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(shape[i]);
    }
    if (shape.size() == 1) text += ",";
    return text + ")";
}

}  // namespace orvik::interop
