// The common shape of an entry point whose parameters are all float64.
#pragma once

#include <Python.h>

#include <array>
#include <cstddef>

#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "compat/panic.hpp"

namespace orvik::compat {

// Binds and converts N float arguments, then runs `compute` on them; the
// object it returns is the call's result.
template <std::size_t N, class Compute>
PyObject* call_with_doubles(const interop::FunctionDescription& desc, PyObject* const* args,
                            Py_ssize_t nargs, PyObject* kwnames, Compute&& compute) noexcept {
    return interop::boundary_guard([&]() -> PyObject* {
        const std::array<double, N> values = interop::extract_doubles<N>(desc, args, nargs, kwnames);
        return compute(values);
    }, panic_report);
}

}  // namespace orvik::compat
