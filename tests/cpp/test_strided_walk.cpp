// The walk over a piece of a strided index space visits exactly the elements
// of that piece, in C order, at the addresses their strides give, wherever
// the piece starts and ends; merging axes changes none of that.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "runtime/strided_map.hpp"

namespace {

using orvik::runtime::collapse_axes;
using orvik::runtime::for_each_stretch;
using orvik::runtime::Stretch;
using orvik::runtime::StridedLayout;

constexpr std::size_t operands = 2;
using Layout = StridedLayout<operands>;

struct Case {
    std::vector<std::ptrdiff_t> shape;
    std::vector<std::ptrdiff_t> strides0;  // bytes, per axis
    std::vector<std::ptrdiff_t> strides1;
};

std::vector<char> arena(1 << 16);

Layout make_layout(const Case& c) {
    Layout l;
    l.ndim = static_cast<int>(c.shape.size());
    for (int axis = 0; axis < l.ndim; ++axis) {
        l.shape[axis] = c.shape[axis];
        l.strides[0][axis] = c.strides0[axis];
        l.strides[1][axis] = c.strides1[axis];
    }
    // In the middle, so negative strides stay inside the arena.
    l.data = {arena.data() + 20000, arena.data() + 40000};
    return l;
}

std::size_t count_of(const Case& c) {
    std::size_t n = 1;
    for (std::ptrdiff_t extent : c.shape) n *= static_cast<std::size_t>(extent);
    return n;
}

// Addresses of element `flat` computed directly from its multi-index.
std::array<char*, operands> expected_at(const Layout& l, std::size_t flat) {
    std::array<char*, operands> at = l.data;
    for (int axis = l.ndim - 1; axis >= 0; --axis) {
        const auto extent = static_cast<std::size_t>(l.shape[axis]);
        const auto i = static_cast<std::ptrdiff_t>(flat % extent);
        flat /= extent;
        for (std::size_t k = 0; k < operands; ++k) at[k] += i * l.strides[k][axis];
    }
    return at;
}

std::vector<std::array<char*, operands>> visited(const Layout& l, std::size_t begin,
                                                 std::size_t end) {
    std::vector<std::array<char*, operands>> out;
    const int last = l.ndim - 1;
    for_each_stretch(l, begin, end, [&](const Stretch<operands>& s) {
        ASSERT_GT(s.count, 0u);
        std::array<char*, operands> at = s.at;
        for (std::size_t i = 0; i < s.count; ++i) {
            out.push_back(at);
            if (last >= 0) {
                for (std::size_t k = 0; k < operands; ++k) {
                    ASSERT_EQ(s.step[k], l.strides[k][last]);
                    at[k] += s.step[k];
                }
            }
        }
    });
    return out;
}

class StridedWalk : public ::testing::TestWithParam<Case> {};

TEST_P(StridedWalk, EveryPieceVisitsItsElementsInOrder) {
    const Case& c = GetParam();
    const Layout l = make_layout(c);
    const std::size_t n = count_of(c);
    for (std::size_t begin = 0; begin <= n; ++begin) {
        for (std::size_t end = begin; end <= n; ++end) {
            const auto seen = visited(l, begin, end);
            ASSERT_EQ(seen.size(), end - begin) << "piece [" << begin << ", " << end << ")";
            for (std::size_t i = begin; i < end; ++i) {
                ASSERT_EQ(seen[i - begin], expected_at(l, i))
                    << "element " << i << " of piece [" << begin << ", " << end << ")";
            }
        }
    }
}

TEST_P(StridedWalk, MergedAxesVisitTheSameAddresses) {
    const Case& c = GetParam();
    const Layout l = make_layout(c);
    Layout merged = l;
    collapse_axes(merged);
    EXPECT_LE(merged.ndim, l.ndim);
    const std::size_t n = count_of(c);
    ASSERT_EQ(merged.size(), n);
    for (std::size_t begin = 0; begin <= n; ++begin) {
        ASSERT_EQ(visited(merged, begin, n), visited(l, begin, n)) << "from " << begin;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, StridedWalk,
    ::testing::Values(
        Case{{}, {}, {}},                                  // 0-d: one element
        Case{{7}, {8}, {0}},                               // one point against many
        Case{{5}, {-16}, {8}},                             // reversed, every other
        Case{{3, 4}, {32, 8}, {0, 8}},                     // a row broadcast over rows
        Case{{4, 3}, {8, 0}, {0, 8}},                      // an outer (matrix) layout
        Case{{2, 3, 4}, {96, 32, 8}, {-8, 0, 24}},         // three axes, mixed strides
        Case{{3, 1, 2}, {16, 0, 8}, {0, 0, -8}},           // an axis of length 1
        Case{{2, 0, 3}, {0, 24, 8}, {8, 8, 8}},            // empty
        Case{{2, 3, 4}, {96, 32, 8}, {0, 0, 0}},           // contiguous: one stretch
        Case{{4, 2, 3}, {48, 24, 8}, {0, 24, 8}}));        // inner block merges, outer not

}  // namespace
