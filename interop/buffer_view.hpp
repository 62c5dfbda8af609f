// A float64 operand read (or written) in place through the buffer protocol,
// with any strides: NumPy's broadcast views have stride 0 on broadcast axes.
#pragma once

#include <Python.h>

#include <cstddef>
#include <span>
#include <string_view>

namespace orvik::interop {

class BufferView {
public:
    BufferView() noexcept = default;
    // Never moved: some exporters keep the address of the Py_buffer they filled.
    BufferView(const BufferView&) = delete;
    BufferView& operator=(const BufferView&) = delete;
    // Releases the buffer, if one is held; needs the interpreter lock.
    ~BufferView();

    // Takes a buffer of native float64 elements from `obj`; `param` names the
    // argument in error messages.  Called at most once per view.  Throws
    // PythonError.
    void acquire(PyObject* obj, std::string_view param, bool writable);

    char* data() const noexcept { return static_cast<char*>(view_.buf); }
    int ndim() const noexcept { return view_.ndim; }
    std::span<const Py_ssize_t> shape() const noexcept;
    // Byte strides, one per axis.
    std::span<const Py_ssize_t> strides() const noexcept;

private:
    Py_buffer view_{};
    bool held_ = false;
};

// "(2, 3)", "(5,)" or "()": a shape as Python writes it.
std::string shape_text(std::span<const Py_ssize_t> shape);

}  // namespace orvik::interop
