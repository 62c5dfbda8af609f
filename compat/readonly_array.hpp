// An array argument accepted for reading: a one-dimensional float64 NumPy
// array, held by a new reference and a shared borrow in the borrow registry
// for as long as this object lives.
#pragma once

#include <Python.h>

#include <cstddef>
#include <cstring>
#include <optional>

#include "interop/errors.hpp"
#include "interop/py_ref.hpp"

namespace orvik::compat {

using interop::PyRef;

// The elements of a contiguous array, read in place.  NumPy does not promise
// 8-byte alignment (a buffer at an odd offset is a valid array), so elements
// are loaded bytewise; for aligned data this is an ordinary load.
struct ElementView {
    const unsigned char* data;
    std::size_t len;

    double operator[](std::size_t i) const noexcept {
        double value;
        std::memcpy(&value, data + i * sizeof(double), sizeof value);
        return value;
    }
};

class PyReadonlyArray {
public:
    // Throws a type-conversion error ("PyArray<T, D>") for anything but a
    // one-dimensional float64 array.  An existing conflicting borrow, or a
    // registry that cannot be had, is an internal failure.
    static PyReadonlyArray accept(PyObject* obj);

    PyReadonlyArray(PyReadonlyArray&& other) noexcept = default;
    PyReadonlyArray& operator=(PyReadonlyArray&&) = delete;
    // Ends the borrow, then drops the reference.
    ~PyReadonlyArray();

    // The element view, or none when the array is not contiguous.
    std::optional<ElementView> as_slice() const noexcept;

private:
    explicit PyReadonlyArray(PyRef array) noexcept : array_(std::move(array)) {}
    PyRef array_;
};

}  // namespace orvik::compat
