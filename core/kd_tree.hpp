// A static 3-D k-d tree for searches bounded by straight-line distance.
//
// Its shape is implicit: every split halves its range of points (the left
// half gets the smaller half when the count is odd), every leaf sits at the
// same depth, and node i has children 2i+1 and 2i+2, so a node needs neither
// pointers nor counts: only its bounding box, in floats rounded outwards
// (24 bytes).  With 8 to 16 points a leaf that is 3 to 6 bytes a point.
// The points themselves stay with the caller, in the order build() leaves
// them; a leaf is a contiguous range of that order.
//
// Why a tree of our own: chord k-nearest among 10^6 uniform unit vectors,
// 10^5 queries, one core of this project's 2-core AMD EPYC, CPU time (two
// runs on a shared machine; bytes a point beyond the points themselves):
//                                     k=1 us   k=10 us   build s   bytes
//   this tree, 16 a leaf              1.4-1.7  2.9-3.3   0.32       7
//   nanoflann 1.4.3, 10 or 16 a leaf  1.9-2.4  4.7-5.6   0.36-0.43  16-22
//   GeographicLib NearestNeighbor     5.2-6.0  11.5-12.8 0.56-0.58  29
// nanoflann keeps a pointer tree and an index array; the vantage-point tree
// needs a distance call per node visited, and its Search updates statistics
// inside the tree, so one tree could not serve several threads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "core/work_runner.hpp"

namespace orvik::core {

using Vec3 = std::array<double, 3>;

class KdTree3 {
public:
    static constexpr std::size_t max_leaf_size = 16;

    // Reorders `positions` and `ids` together (ids ride along; the tree only
    // reads positions) into the tree's order and records the boxes.  The
    // spans must be of one length.  Independent nodes are built in pieces of
    // `runner`, and its check may stop the build by throwing (the tree is
    // then empty, the spans in no particular order); the order and the boxes
    // do not depend on how the runner splits.
    void build(std::span<Vec3> positions, std::span<std::uint32_t> ids,
               WorkRunner& runner = inline_runner());

    std::size_t size() const noexcept { return size_; }
    std::size_t memory_bytes() const noexcept { return boxes_.capacity() * sizeof(Box); }

    // Depth first, nearer child first: calls leaf(begin, end, limit2) for the
    // point range [begin, end) of every leaf whose box lies within squared
    // distance limit2 of q, and carries on with the limit it returns (which
    // may shrink as results come in; NaN is not allowed).  A box is visited
    // when its squared distance is <= the limit, so points exactly at the
    // limit are never skipped.
    template <class Leaf>
    void search(const Vec3& q, double limit2, Leaf&& leaf) const;

private:
    struct Box {
        std::array<float, 3> lo, hi;
    };
    struct Item {
        Vec3 p;
        std::uint32_t id;
    };

    // The nodes of the large top levels one level at a time, then whole
    // subtrees, in pieces of the runner.
    void build_levels(std::span<Vec3> positions, std::span<std::uint32_t> ids, WorkRunner& runner);
    // [begin, end) of a node, from the halvings that lead to it.
    std::pair<std::size_t, std::size_t> node_range(std::size_t node, unsigned level) const noexcept;
    // Records the node's box and, above the leaves, splits its points at the
    // median of the widest extent; returns the split.  A null stop: never
    // asked (the node is small).
    std::size_t split_node(Item* items, std::size_t node, std::size_t begin, std::size_t end,
                           unsigned level, StopCheck* stop);
    void build_subtree(Item* items, std::size_t node, std::size_t begin, std::size_t end,
                       unsigned level);

    // Squared distance from q to the box: never more than the squared
    // distance to any point inside, as computed in double (each term is
    // rounded from a gap no larger than the point's own).
    double box_distance2(std::size_t node, const Vec3& q) const noexcept {
        const Box& b = boxes_[node];
        double sum = 0.0;
        for (std::size_t i = 0; i < 3; ++i) {
            const double below = static_cast<double>(b.lo[i]) - q[i];
            const double above = q[i] - static_cast<double>(b.hi[i]);
            const double gap = below > above ? below : above;
            if (gap > 0.0) sum += gap * gap;
        }
        return sum;
    }

    std::vector<Box> boxes_;
    std::size_t size_ = 0;
    unsigned depth_ = 0;
};

template <class Leaf>
void KdTree3::search(const Vec3& q, double limit2, Leaf&& leaf) const {
    if (size_ == 0) return;
    struct Entry {
        std::size_t node, begin, end;
        double d2;
    };
    // Each level adds at most one pending sibling: depth + 1 entries at most,
    // and the depth is under 32 for any count of points that fits in 32 bits.
    Entry stack[40];
    std::size_t top = 0;
    const std::size_t first_leaf = (std::size_t{1} << depth_) - 1;
    stack[top++] = {0, 0, size_, box_distance2(0, q)};
    while (top > 0) {
        const Entry e = stack[--top];
        if (!(e.d2 <= limit2)) continue;
        if (e.node >= first_leaf) {
            limit2 = leaf(e.begin, e.end, limit2);
            continue;
        }
        const std::size_t mid = e.begin + (e.end - e.begin) / 2;
        const std::size_t left = 2 * e.node + 1, right = left + 1;
        const double dl = box_distance2(left, q), dr = box_distance2(right, q);
        if (dl <= dr) {
            if (dr <= limit2) stack[top++] = {right, mid, e.end, dr};
            if (dl <= limit2) stack[top++] = {left, e.begin, mid, dl};
        } else {
            if (dl <= limit2) stack[top++] = {left, e.begin, mid, dl};
            if (dr <= limit2) stack[top++] = {right, mid, e.end, dr};
        }
    }
}

}  // namespace orvik::core
