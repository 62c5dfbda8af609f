#include "core/kd_tree.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvik::core {
namespace {

// The nearest float at or below v, and at or above v: a box in floats then
// still contains every point it was made from, exactly as stored in double.
float float_at_or_below(double v) noexcept {
    const float f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -std::numeric_limits<float>::infinity())
                                      : f;
}

float float_at_or_above(double v) noexcept {
    const float f = static_cast<float>(v);
    return static_cast<double>(f) < v ? std::nextafter(f, std::numeric_limits<float>::infinity())
                                      : f;
}

}  // namespace

void KdTree3::build(std::span<Vec3> positions, std::span<std::uint32_t> ids) {
    size_ = positions.size();
    depth_ = 0;
    while (((size_ + (std::size_t{1} << depth_) - 1) >> depth_) > max_leaf_size) ++depth_;
    boxes_.assign((std::size_t{2} << depth_) - 1, Box{});
    boxes_.shrink_to_fit();
    if (size_ == 0) return;
    // Partitioned as whole records: sorting indices instead would chase each
    // comparison through memory.
    std::vector<Item> items(size_);
    for (std::size_t i = 0; i < size_; ++i) items[i] = {positions[i], ids[i]};
    build_node(items.data(), 0, 0, size_, 0);
    for (std::size_t i = 0; i < size_; ++i) {
        positions[i] = items[i].p;
        ids[i] = items[i].id;
    }
}

void KdTree3::build_node(Item* items, std::size_t node, std::size_t begin, std::size_t end,
                         unsigned level) {
    Vec3 lo = items[begin].p, hi = items[begin].p;
    for (std::size_t i = begin + 1; i < end; ++i) {
        for (std::size_t d = 0; d < 3; ++d) {
            lo[d] = std::min(lo[d], items[i].p[d]);
            hi[d] = std::max(hi[d], items[i].p[d]);
        }
    }
    Box& box = boxes_[node];
    for (std::size_t d = 0; d < 3; ++d) {
        box.lo[d] = float_at_or_below(lo[d]);
        box.hi[d] = float_at_or_above(hi[d]);
    }
    if (level == depth_) return;
    // Split across the widest extent, at the median.
    std::size_t dim = 0;
    for (std::size_t d = 1; d < 3; ++d) {
        if (hi[d] - lo[d] > hi[dim] - lo[dim]) dim = d;
    }
    const std::size_t mid = begin + (end - begin) / 2;
    std::nth_element(items + begin, items + mid, items + end,
                     [dim](const Item& x, const Item& y) { return x.p[dim] < y.p[dim]; });
    build_node(items, 2 * node + 1, begin, mid, level + 1);
    build_node(items, 2 * node + 2, mid, end, level + 1);
}

}  // namespace orvik::core
