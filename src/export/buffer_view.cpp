#include "src/export/buffer_view.hpp"

#include <bit>
#include <string>

#include "interop/binding.hpp"
#include "src/export/strided_walk.hpp"

namespace orvik::exported {
namespace {

using interop::ErrorValue;

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

interop::Status BufferView::acquire(PyObject* obj, std::string_view param, bool writable) {
    const int flags = PyBUF_STRIDES | PyBUF_FORMAT | (writable ? PyBUF_WRITABLE : 0);
    if (PyObject_GetBuffer(obj, &view_, flags) < 0) {
        return interop::argument_extraction_error(param, interop::fetch_error());
    }
    held_ = true;
    const std::string name(param);
    if (!is_native_float64(view_.format) || view_.itemsize != 8) {
        const std::string format = view_.format ? view_.format : "B";
        return ErrorValue::pending(PyExc_TypeError, "argument '" + name +
                                                        "': expected a buffer of float64, got format '" +
                                                        format + "'");
    }
    if (view_.ndim > max_dims) {
        return ErrorValue::pending(PyExc_ValueError, "argument '" + name + "': more than " +
                                                         std::to_string(max_dims) + " dimensions");
    }
    if (view_.ndim > 0 && (view_.shape == nullptr || view_.strides == nullptr)) {
        return ErrorValue::pending(PyExc_TypeError,
                                   "argument '" + name + "': the buffer has no shape or strides");
    }
    return interop::ok_status();
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

std::size_t element_count(std::span<const Py_ssize_t> shape) noexcept {
    std::size_t count = 1;
    for (Py_ssize_t extent : shape) count *= static_cast<std::size_t>(extent);
    return count;
}

}  // namespace orvik::exported
