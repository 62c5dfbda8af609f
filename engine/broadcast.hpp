// Broadcasting by NumPy's rules, up to 64 dimensions (NumPy's own helpers
// stop at 32): the shape arguments broadcast to, and each argument's byte
// strides over it, 0 along the axes on which it is repeated, so that one
// point against a million is read a million times in place, never copied.
#pragma once

#include <Python.h>

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/array_argument.hpp"
#include "runtime/strided_map.hpp"

namespace orvik::engine {

struct Shape {
    int ndim = 0;
    std::array<Py_intptr_t, runtime::max_dims> extent{};

    std::size_t size() const noexcept;
    // "(2, 3)", "(5,)" or "()": as Python writes a shape.
    std::string text() const;
};

// The shape of one argument.
Shape shape_of(const ArrayArgument& arg) noexcept;

// The shape the arguments broadcast to; ValueError naming every argument's
// shape when they cannot be.  `params` names the arguments, in order.
Shape broadcast_shape(std::string_view function, std::span<const ArrayArgument> args,
                      std::span<const std::string_view> params);

// A set of points: latitudes and longitudes broadcast together to one
// dimension (a number is a set of one point); ValueError naming both when
// they do not broadcast or are not one-dimensional.  `params` names the two.
Shape point_set_shape(std::string_view function, std::span<const ArrayArgument> pair,
                      std::span<const std::string_view> params);

// The values of `arg` over `shape` (which it broadcasts to), in C order, as
// one contiguous column: a copy only where `arg` is not one already.
std::vector<double> contiguous_values(const ArrayArgument& arg, const Shape& shape);

// The byte strides of `arg` over `shape`, which it broadcasts to.
void strides_over(const ArrayArgument& arg, const Shape& shape, std::ptrdiff_t* strides) noexcept;

}  // namespace orvik::engine
