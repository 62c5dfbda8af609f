#include "core/kd_tree.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>

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

// Nodes of more points than this are split one at a time, each by passes
// between which the stop is asked, the nodes of one level side by side;
// smaller ones are built whole, depth first (in cache), a subtree a piece.
constexpr std::size_t subtree_points = std::size_t{1} << 15;
// Ranges longer than this are narrowed by partition passes, which ask the
// stop every partition_check_every elements, before std::nth_element
// finishes them.
constexpr std::size_t select_pass_from = std::size_t{1} << 16;
constexpr std::size_t partition_check_every = std::size_t{1} << 16;
// Rough cost of one point at one level (its share of a box and a median).
constexpr double ns_per_point_level = 10.0;
// The stop is asked once per this many points of a box.
constexpr std::size_t box_check_every = std::size_t{1} << 16;

template <class T, class Less>
const T& median_of_three(const T& a, const T& b, const T& c, Less less) {
    if (less(a, b)) return less(b, c) ? b : less(a, c) ? c : a;
    return less(a, c) ? a : less(b, c) ? c : b;
}

// std::partition, asking the stop every partition_check_every elements.
template <class T, class Pred>
T* partition_checked(T* first, T* last, Pred pred, StopCheck* stop) {
    std::size_t steps = 0;
    const auto step = [&] {
        if (++steps == partition_check_every) {
            steps = 0;
            if (stop != nullptr) stop->check();
        }
    };
    for (;;) {
        while (first != last && pred(*first)) {
            ++first;
            step();
        }
        if (first == last) return first;
        --last;
        while (first != last && !pred(*last)) {
            --last;
            step();
        }
        if (first == last) return first;
        std::swap(*first, *last);
        ++first;
    }
}

// std::nth_element, with long ranges first narrowed by partitions around a
// median of three, which ask the stop as they go.  Such pivots can be
// unlucky, so after twice the passes of a good run what is left goes to
// std::nth_element, whose worst case is bounded.  The result depends only on
// the input, never on who runs it.
template <class T, class Less>
void select_nth(T* first, T* nth, T* last, Less less, StopCheck* stop) {
    int passes_left = 2 * static_cast<int>(std::bit_width(static_cast<std::size_t>(last - first)));
    while (static_cast<std::size_t>(last - first) > select_pass_from && passes_left-- > 0) {
        const T pivot = median_of_three(*first, first[(last - first) / 2], last[-1], less);
        T* const lower = partition_checked(first, last, [&](const T& x) { return less(x, pivot); }, stop);
        if (nth < lower) {
            last = lower;  // the pivot is in the other part: this one is shorter
        } else if (lower != first) {
            first = lower;
        } else {
            // The pivot is the smallest: set its equals apart, so that the
            // range shrinks however many there are.
            T* const upper = partition_checked(first, last, [&](const T& x) { return !less(pivot, x); }, stop);
            if (nth < upper) return;  // nth among equals of the pivot
            first = upper;
        }
    }
    std::nth_element(first, nth, last, less);
}

}  // namespace

void KdTree3::build(std::span<Vec3> positions, std::span<std::uint32_t> ids, WorkRunner& runner) {
    const std::size_t n = positions.size();
    size_ = 0;
    depth_ = 0;
    while (((n + (std::size_t{1} << depth_) - 1) >> depth_) > max_leaf_size) ++depth_;
    boxes_.assign((std::size_t{2} << depth_) - 1, Box{});
    boxes_.shrink_to_fit();
    if (n == 0) return;
    size_ = n;
    try {
        build_levels(positions, ids, runner);
    } catch (...) {
        size_ = 0;  // an empty tree rather than a half-built one
        throw;
    }
}

void KdTree3::build_levels(std::span<Vec3> positions, std::span<std::uint32_t> ids, WorkRunner& runner) {
    const std::size_t n = size_;
    // Partitioned as whole records: sorting indices instead would chase each
    // comparison through memory.
    const auto items = std::make_unique_for_overwrite<Item[]>(n);
    for_each_range(runner, n, 2.0, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) items[i] = {positions[i], ids[i]};
    });
    const auto level_nodes = [](unsigned level) { return std::size_t{1} << level; };
    unsigned level = 0;
    for (; level < depth_ && (n + level_nodes(level) - 1) / level_nodes(level) > subtree_points; ++level) {
        const std::size_t count = level_nodes(level), first = count - 1;
        const double ns = ns_per_point_level * static_cast<double>(n) / static_cast<double>(count);
        for_each_range(runner, count, ns, [&](std::size_t begin, std::size_t end) {
            for (std::size_t j = begin; j < end; ++j) {
                const auto [b, e] = node_range(first + j, level);
                split_node(items.get(), first + j, b, e, level, &runner);
            }
        });
    }
    const std::size_t count = level_nodes(level), first = count - 1;
    const double ns = ns_per_point_level * static_cast<double>(n) / static_cast<double>(count) *
                      static_cast<double>(depth_ - level + 1);
    for_each_range(runner, count, ns, [&](std::size_t begin, std::size_t end) {
        for (std::size_t j = begin; j < end; ++j) {
            const auto [b, e] = node_range(first + j, level);
            build_subtree(items.get(), first + j, b, e, level);
        }
    });
    for_each_range(runner, n, 2.0, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            positions[i] = items[i].p;
            ids[i] = items[i].id;
        }
    });
}

std::pair<std::size_t, std::size_t> KdTree3::node_range(std::size_t node, unsigned level) const noexcept {
    // node + 1 in binary is a 1 and then the turns from the root, 1 for right.
    std::size_t begin = 0, end = size_;
    for (unsigned i = level; i-- > 0;) {
        const std::size_t mid = begin + (end - begin) / 2;
        if (((node + 1) >> i) & 1) {
            begin = mid;
        } else {
            end = mid;
        }
    }
    return {begin, end};
}

std::size_t KdTree3::split_node(Item* items, std::size_t node, std::size_t begin, std::size_t end,
                                unsigned level, StopCheck* stop) {
    Vec3 lo = items[begin].p, hi = items[begin].p;
    for (std::size_t chunk = begin + 1; chunk < end; chunk += box_check_every) {
        if (stop != nullptr && end - begin > box_check_every) stop->check();
        const std::size_t chunk_end = std::min(end, chunk + box_check_every);
        for (std::size_t i = chunk; i < chunk_end; ++i) {
            for (std::size_t d = 0; d < 3; ++d) {
                lo[d] = std::min(lo[d], items[i].p[d]);
                hi[d] = std::max(hi[d], items[i].p[d]);
            }
        }
    }
    Box& box = boxes_[node];
    for (std::size_t d = 0; d < 3; ++d) {
        box.lo[d] = float_at_or_below(lo[d]);
        box.hi[d] = float_at_or_above(hi[d]);
    }
    const std::size_t mid = begin + (end - begin) / 2;
    if (level == depth_) return mid;
    // Split across the widest extent, at the median.
    std::size_t dim = 0;
    for (std::size_t d = 1; d < 3; ++d) {
        if (hi[d] - lo[d] > hi[dim] - lo[dim]) dim = d;
    }
    select_nth(items + begin, items + mid, items + end,
               [dim](const Item& x, const Item& y) { return x.p[dim] < y.p[dim]; }, stop);
    return mid;
}

void KdTree3::build_subtree(Item* items, std::size_t node, std::size_t begin, std::size_t end,
                            unsigned level) {
    const std::size_t mid = split_node(items, node, begin, end, level, nullptr);
    if (level == depth_) return;
    build_subtree(items, 2 * node + 1, begin, mid, level + 1);
    build_subtree(items, 2 * node + 2, mid, end, level + 1);
}

}  // namespace orvik::core
