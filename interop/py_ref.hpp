// Owning handle to one strong Python reference.
#pragma once

#include <Python.h>

#include <utility>

namespace orvik::interop {

class PyRef {
public:
    PyRef() noexcept = default;
    // Takes over a reference the caller already owns (may be null).
    static PyRef steal(PyObject* obj) noexcept { return PyRef(obj); }
    // Takes a new reference to a borrowed object (may be null).
    static PyRef borrow(PyObject* obj) noexcept { Py_XINCREF(obj); return PyRef(obj); }

    PyRef(const PyRef&) = delete;
    PyRef& operator=(const PyRef&) = delete;
    PyRef(PyRef&& other) noexcept : obj_(std::exchange(other.obj_, nullptr)) {}
    PyRef& operator=(PyRef&& other) noexcept {
        if (this != &other) {
            reset();
            obj_ = std::exchange(other.obj_, nullptr);
        }
        return *this;
    }
    ~PyRef() { reset(); }

    PyObject* get() const noexcept { return obj_; }
    explicit operator bool() const noexcept { return obj_ != nullptr; }
    // Hands the reference to the caller.
    [[nodiscard]] PyObject* release() noexcept { return std::exchange(obj_, nullptr); }
    void reset() noexcept { Py_CLEAR(obj_); }

private:
    explicit PyRef(PyObject* obj) noexcept : obj_(obj) {}
    PyObject* obj_ = nullptr;
};

}  // namespace orvik::interop
