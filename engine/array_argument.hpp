// An argument of the package's array functions, converted once: read as
// numpy.asarray reads it and held as float64, in place when it already is
// float64 (any strides, alignment or byte offset), or as the number it was.
// Refused with TypeError naming the parameter: strings, bytes, None, masked
// arrays, and arrays of strings, bytes, None, dates, durations or complex
// numbers.  A pandas Series is read as its values; its index is kept.
#pragma once

#include <Python.h>

#include <cstddef>
#include <string_view>

#include "interop/py_ref.hpp"

namespace orvik::engine {

// What an argument holds once converted.
enum class Element : unsigned char {
    float64,  // numbers: any real dtype, cast as ndarray.astype(float64) casts
    int64,    // integers only (offsets, counts): cast safely, never from floats
};

class ArrayArgument {
public:
    // Converts `obj`, the argument `param` of `function`.  Throws PythonError.
    ArrayArgument(std::string_view function, std::string_view param, PyObject* obj,
                  Element element = Element::float64);

    int ndim() const noexcept { return ndim_; }
    Py_intptr_t extent(int axis) const noexcept { return shape_[axis]; }
    // Bytes from one element to the next along `axis`.
    Py_intptr_t stride(int axis) const noexcept { return strides_[axis]; }
    // The elements: float64, or int64 for Element::int64 (never a number).
    const char* data() const noexcept {
        return array_ ? data_ : reinterpret_cast<const char*>(&number_);
    }
    // Elements in all.
    std::size_t size() const noexcept;

    // A number (Python's or NumPy's), not an array: numbers in give floats out.
    bool is_number() const noexcept { return is_number_; }
    // The converted array (null for a number given as a float or an int).
    PyObject* array() const noexcept { return array_.get(); }
    // The index of a pandas Series, else null.
    PyObject* series_index() const noexcept { return index_.get(); }

private:
    void read_integers(std::string_view function, std::string_view param, PyObject* obj);
    // The converted array becomes `array` (a float64 or int64 ndarray).
    void hold(interop::PyRef array) noexcept;
    // The converted array becomes a cast of it to `type` under `flags`.
    void hold_cast(std::string_view function, std::string_view param, int type, int flags);

    interop::PyRef array_;
    interop::PyRef index_;
    double number_ = 0.0;
    bool is_number_ = false;
    int ndim_ = 0;
    const Py_intptr_t* shape_ = nullptr;
    const Py_intptr_t* strides_ = nullptr;
    const char* data_ = nullptr;
};

// A list, a tuple or anything NumPy reads as an array (pandas Series, NumPy
// scalars and arrays, objects with __array__ or the array interfaces): an
// argument that makes a call an array call.
bool looks_like_array(PyObject* obj);

}  // namespace orvik::engine
