// Maps over operands that share one shape but each have their own byte
// strides: 0 on a broadcast axis, negative for a reversed view, any value for
// a view of a structured or unaligned buffer.  The element functions see one
// stretch along the last axis at a time.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "runtime/parallel_for.hpp"

namespace orvik::runtime {

// NumPy's own limit on the number of dimensions.
inline constexpr int max_dims = 64;

template <std::size_t Operands>
struct StridedLayout {
    int ndim = 0;
    std::array<std::ptrdiff_t, max_dims> shape{};
    std::array<char*, Operands> data{};
    std::array<std::array<std::ptrdiff_t, max_dims>, Operands> strides{};

    std::size_t size() const noexcept {
        std::size_t count = 1;
        for (int axis = 0; axis < ndim; ++axis) count *= static_cast<std::size_t>(shape[axis]);
        return count;
    }
};

// One stretch along the last axis: each operand's address of its first
// element and its byte step to the next.
template <std::size_t Operands>
struct Stretch {
    std::array<char*, Operands> at;
    std::array<std::ptrdiff_t, Operands> step;
    std::size_t count;
};

// Merges neighbouring axes that every operand walks as one (the outer stride
// is the inner extent times the inner stride), and drops axes of extent 1:
// a C-contiguous block, or a matrix row broadcast down its columns, becomes
// one long stretch instead of many short ones.  The C-order index of each
// element is unchanged.
template <std::size_t Operands>
void collapse_axes(StridedLayout<Operands>& l) noexcept {
    int kept = 0;
    for (int axis = 0; axis < l.ndim; ++axis) {
        if (l.shape[axis] == 1 && l.ndim > 1) continue;
        if (kept > 0) {
            const int inner = kept - 1;
            bool joinable = true;
            for (std::size_t k = 0; k < Operands && joinable; ++k) {
                joinable = l.strides[k][inner] == l.shape[axis] * l.strides[k][axis];
            }
            if (joinable) {
                l.shape[inner] *= l.shape[axis];
                for (std::size_t k = 0; k < Operands; ++k) l.strides[k][inner] = l.strides[k][axis];
                continue;
            }
        }
        l.shape[kept] = l.shape[axis];
        for (std::size_t k = 0; k < Operands; ++k) l.strides[k][kept] = l.strides[k][axis];
        ++kept;
    }
    l.ndim = kept;
}

// Calls stretch_fn(Stretch) for the flat C-order indices [begin, end), in
// order, one call per stretch along the last axis.  For ndim == 0 the one
// element is a stretch of length 1.
template <std::size_t Operands, class StretchFn>
void for_each_stretch(const StridedLayout<Operands>& l, std::size_t begin, std::size_t end,
                      StretchFn&& stretch_fn) {
    if (begin >= end) return;  // also keeps an empty axis out of the divisions below
    Stretch<Operands> s{l.data, {}, 0};
    if (l.ndim == 0) {
        s.count = 1;
        stretch_fn(s);
        return;
    }
    const int last = l.ndim - 1;
    for (std::size_t k = 0; k < Operands; ++k) s.step[k] = l.strides[k][last];
    std::array<std::ptrdiff_t, max_dims> index{};
    std::size_t rest = begin;
    for (int axis = last; axis >= 0; --axis) {
        const auto extent = static_cast<std::size_t>(l.shape[axis]);
        index[axis] = static_cast<std::ptrdiff_t>(rest % extent);
        rest /= extent;
    }
    for (std::size_t k = 0; k < Operands; ++k) {
        for (int axis = 0; axis <= last; ++axis) s.at[k] += index[axis] * l.strides[k][axis];
    }
    std::size_t done = begin;
    for (;;) {
        const auto in_row = static_cast<std::size_t>(l.shape[last] - index[last]);
        s.count = std::min(in_row, end - done);
        stretch_fn(static_cast<const Stretch<Operands>&>(s));
        done += s.count;
        if (done == end) return;
        // The stretch reached the end of its row: step to the next row.
        for (std::size_t k = 0; k < Operands; ++k) {
            s.at[k] += static_cast<std::ptrdiff_t>(s.count) * l.strides[k][last];
        }
        index[last] += static_cast<std::ptrdiff_t>(s.count);
        for (int axis = last; axis > 0 && index[axis] == l.shape[axis]; --axis) {
            index[axis] = 0;
            ++index[axis - 1];
            for (std::size_t k = 0; k < Operands; ++k) {
                s.at[k] += l.strides[k][axis - 1] - l.shape[axis] * l.strides[k][axis];
            }
        }
    }
}

// The pieces of a map over a strided layout: each piece walks its stretches
// through `stretch_fn`.  The layout and the function are borrowed.
template <std::size_t Operands, class StretchFn>
class StridedPieces final : public PieceBody {
public:
    StridedPieces(const StridedLayout<Operands>& layout, const StretchFn& stretch_fn)
        : layout_(layout), stretch_fn_(stretch_fn) {}
    void run(std::size_t begin, std::size_t end) const override {
        for_each_stretch(layout_, begin, end, stretch_fn_);
    }

private:
    const StridedLayout<Operands>& layout_;
    const StretchFn& stretch_fn_;
};

}  // namespace orvik::runtime
