// The entry points of the package's functions of numbers: as fast as the
// native module's for floats, and forwarded to the array implementation
// (orvik._elementwise) when an argument is an array-like.
#pragma once

#include <Python.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <span>
#include <string_view>

#include "interop/binding.hpp"
#include "interop/boundary.hpp"

namespace orvik::engine {

struct ScalarFunction {
    interop::FunctionDescription desc;
    // The function of orvik._elementwise, of the same name and parameters,
    // that takes array-likes; looked up on first use.
    mutable std::atomic<PyObject*> array_version{nullptr};
};

// A list, a tuple or anything NumPy reads as an array (pandas Series, NumPy
// scalars, objects with __array__ or the array interfaces).
bool looks_like_array(PyObject* obj);

// Calls fn's array version with the call's own arguments.
PyObject* forward_to_array_version(const ScalarFunction& fn, PyObject* const* args, Py_ssize_t nargs,
                                   PyObject* kwnames);

// Binds a call of `fn` (N numbers, then its keyword-only parameters), then
// either converts the numbers and returns compute(values, keyword slots), or
// forwards the call when a number is an array-like.
template <std::size_t N, class Compute>
PyObject* scalar_call(const ScalarFunction& fn, PyObject* const* args, Py_ssize_t nargs,
                      PyObject* kwnames, Compute&& compute) noexcept {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            PyObject* slots[N + 1] = {};
            PyObject* const* bound = interop::bind_arguments(fn.desc, args, nargs, kwnames, slots);
            std::array<double, N> values;
            for (std::size_t i = 0; i < N; ++i) {
                PyObject* obj = bound[i];
                if (PyFloat_CheckExact(obj)) {
                    values[i] = PyFloat_AS_DOUBLE(obj);
                } else if (!PyFloat_Check(obj) && !PyLong_Check(obj) && looks_like_array(obj)) {
                    return forward_to_array_version(fn, args, nargs, kwnames);
                } else {
                    values[i] = interop::extract_argument(fn.desc.params[i], obj);
                }
            }
            // The keyword-only parameter, if the function has one (null when
            // not given; `bound` is `args` only when there were no keywords).
            PyObject* option = (fn.desc.keyword_only.empty() || bound == args) ? nullptr : slots[N];
            return compute(values, option);
        },
        interop::runtime_error_report);
}

}  // namespace orvik::engine
