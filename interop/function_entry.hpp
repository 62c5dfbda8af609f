// The common shape of an entry point whose parameters are all float64.
#pragma once

#include <Python.h>

#include <array>
#include <cstddef>
#include <utility>

#include "interop/binding.hpp"
#include "interop/boundary.hpp"

namespace orvik::interop {

// Binds and converts N float arguments, then runs `compute` on them; its
// result (an object, or a Result of one) is returned through the guard.
template <std::size_t N, class Compute>
PyObject* call_with_doubles(const FunctionDescription& desc, PyObject* const* args,
                            Py_ssize_t nargs, PyObject* kwnames, Compute&& compute) noexcept {
    return boundary_guard([&]() -> Result<PyObject*> {
        Result<std::array<double, N>> values = extract_doubles<N>(desc, args, nargs, kwnames);
        if (!values.ok()) return std::move(values).error();
        return compute(values.value());
    });
}

}  // namespace orvik::interop
