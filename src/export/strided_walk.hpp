// Walking a piece of the C-order index space of operands that share one
// shape but each have their own byte strides (0 on a broadcast axis).
#pragma once

#include <Python.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace orvik::exported {

// NumPy's own limit on the number of dimensions.
inline constexpr int max_dims = 64;

template <std::size_t Operands>
struct StridedLayout {
    int ndim = 0;
    std::array<Py_ssize_t, max_dims> shape{};
    std::array<char*, Operands> data{};
    std::array<std::array<Py_ssize_t, max_dims>, Operands> strides{};
};

// Calls row(at, count) for the flat indices [begin, end) in order, one call
// per stretch along the last axis: `at` holds each operand's address of the
// stretch's first element, and the next element of operand k lies
// strides[k][ndim - 1] bytes further.  For ndim == 0 the one element is a
// stretch of length 1.
template <std::size_t Operands, class Row>
void for_each_row(const StridedLayout<Operands>& l, std::size_t begin, std::size_t end, Row&& row) {
    if (begin >= end) return;  // also keeps an empty axis out of the divisions below
    if (l.ndim == 0) {
        row(l.data, std::size_t{1});
        return;
    }
    const int last = l.ndim - 1;
    std::array<Py_ssize_t, max_dims> index{};
    std::size_t rest = begin;
    for (int axis = last; axis >= 0; --axis) {
        const auto extent = static_cast<std::size_t>(l.shape[axis]);
        index[axis] = static_cast<Py_ssize_t>(rest % extent);
        rest /= extent;
    }
    std::array<char*, Operands> at = l.data;
    for (std::size_t k = 0; k < Operands; ++k) {
        for (int axis = 0; axis <= last; ++axis) at[k] += index[axis] * l.strides[k][axis];
    }
    std::size_t done = begin;
    for (;;) {
        const auto in_row = static_cast<std::size_t>(l.shape[last] - index[last]);
        const std::size_t count = std::min(in_row, end - done);
        row(at, count);
        done += count;
        if (done == end) return;
        // The stretch reached the end of its row: step to the next row.
        for (std::size_t k = 0; k < Operands; ++k) {
            at[k] += static_cast<Py_ssize_t>(count) * l.strides[k][last];
        }
        index[last] += static_cast<Py_ssize_t>(count);
        for (int axis = last; axis > 0 && index[axis] == l.shape[axis]; --axis) {
            index[axis] = 0;
            ++index[axis - 1];
            for (std::size_t k = 0; k < Operands; ++k) {
                at[k] += l.strides[k][axis - 1] - l.shape[axis] * l.strides[k][axis];
            }
        }
    }
}

}  // namespace orvik::exported
