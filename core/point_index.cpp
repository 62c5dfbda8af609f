// The search, and why it is exact.
//
// Each point is also kept as its unit surface normal (geodetic latitude and
// longitude on the unit sphere), and a k-d tree over those proposes
// candidates by straight-line distance, the chord.  Both distances have a
// lower bound in chord terms:
//   - great-circle: the haversine's h is the square of half the chord, so a
//     distance d means a chord of exactly 2 sin(d / 2R);
//   - geodesic: along any path on the ellipsoid the normal turns by at most
//     ds / rho, rho the smallest radius of curvature (b^2 / a, or a^2 / b on
//     a prolate ellipsoid), so a geodesic of length s joins normals at most
//     s / rho apart: a chord of at most 2 sin(s / 2 rho).
// chord_limit(d) is that chord, widened for rounding; every point whose
// computed distance is <= d has a chord within it.  The bound is converted
// into chord terms rather than the chord into an angle because the arcsine
// is ill-conditioned next to antipodes (tenths of a metre there), the sine
// not at all.
//
// A k-nearest query first finds the k + 1 points of smallest chord and
// computes the exact distances of the first k: usually the answer already.
// Only if the (k+1)-th chord is within chord_limit(k-th exact distance) can
// another point compete; then a second pass visits every point whose chord
// is within the limit of the k-th exact distance so far, shrinking it as
// better points come in, and computes the exact distance of any not seen
// yet.  A point is skipped only if its chord exceeds the limit of a distance
// no smaller than the final k-th, so it cannot be among the results, nor tie
// with them: ties at the k-th distance are examined and go to the smaller
// index, as a stable sort would.
//
// Margins, from measurements of 10^6 pairs per ellipsoid (random, near-
// antipodal, polar, and short lines along the meridians of the equator,
// where the geodesic bound is tight):
//   - relative 1e-9: great-circle chords from the kernel's h agree with those
//     from the unit vectors to 1e-15; GeographicLib's s12 keeps to the
//     bound within 1.5e-11 (relative) for |f| <= 0.1.  Its series are truncated
//     at order n^6 (n = f / (2 - f)), so for flatter ellipsoids it departs by
//     up to a few percent of n^7, which is added; for |n| > 0.5 (f > 2/3 or
//     f < -2) the bound is not relied on and every point is examined.
//   - absolute 1e-10 of the radius (0.6 mm on the Earth): the unit vectors
//     are rounded to about 1e-16, GeographicLib's distances to 15 nm.
//   - great-circle only: the haversine takes the difference of the two
//     longitudes, rounded to the precision of the larger one, while the unit
//     vectors reduce each longitude exactly.  The chord is 1-Lipschitz in
//     that difference, so 8 eps (|lon1| + |lon2|) pi / 180 covers it: under
//     1e-11 for ordinary longitudes.  Reference points with
//     |lon| > 1e6 stay out of the tree so that one stray value cannot widen
//     every query's margin; they are examined by every query.
#include "core/point_index.hpp"

#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/constants.hpp"
#include "core/geodesic_bounds.hpp"
#include "core/great_circle_kernel.hpp"

namespace orvik::core {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double eps = std::numeric_limits<double>::epsilon();
constexpr double half_pi = 1.5707963267948966;

constexpr double relative_margin = bound_relative_margin;
constexpr double absolute_margin = bound_absolute_margin;
constexpr double max_tree_abs_lon = 1e6;

// Great-circle distances are computed in blocks of this many candidates.
constexpr std::size_t block = 64;

// Work counted for stop checks, in units of about a point's chord (a few
// nanoseconds): the stop is asked every StopCounter's 4096 units.
constexpr std::size_t geodesic_units = 64;
constexpr std::size_t great_circle_units = 4;
// Output slots are filled, and results sorted, in runs of this many.
constexpr std::size_t fill_run = std::size_t{1} << 16;
constexpr std::size_t sort_run = std::size_t{1} << 14;

bool valid_point(double lat, double lon) noexcept {
    return std::abs(lat) <= 90.0 && std::isfinite(lon);  // false for NaN
}

GeographicLib::Geodesic checked_geodesic(double a, double f) {
    const double b = a * (1.0 - f);
    if (!(std::isfinite(a) && a > 0.0 && std::isfinite(f) && std::isfinite(b) && b > 0.0)) {
        throw std::invalid_argument("ellipsoid needs a finite equatorial radius a > 0 and a "
                                    "finite flattening f < 1 with a * (1 - f) finite");
    }
    return GeographicLib::Geodesic(a, f);
}

// Results are ordered as a stable sort of distances orders them.
template <class R>
bool before(const R& x, const R& y) noexcept {
    return x.key < y.key || (x.key == y.key && x.id < y.id);
}

// std::copy in runs that count as work.
template <class T>
T* copy_counted(const T* first, const T* last, T* out, StopCounter& counter) {
    while (last - first > static_cast<std::ptrdiff_t>(fill_run)) {
        out = std::copy(first, first + fill_run, out);
        first += fill_run;
        counter.add(fill_run);
    }
    return std::copy(first, last, out);
}

// Merges the sorted runs [lo, mid) and [mid, hi) of v through `buffer`,
// which holds the smaller run, counting the elements as work.  Stable: of
// equal elements, those of the first run come first.
template <class T, class Less>
void merge_counted(T* v, std::size_t lo, std::size_t mid, std::size_t hi, T* buffer, Less less,
                   StopCounter& counter) {
    if (!less(v[mid], v[mid - 1])) return;  // already in order
    std::size_t since_count = 0;
    const auto count = [&] {
        if (++since_count == fill_run) {
            counter.add(fill_run);
            since_count = 0;
        }
    };
    if (mid - lo <= hi - mid) {
        // Forward: the first run is moved aside; the output never overtakes
        // the second run's next element.
        T* a = buffer;
        T* const a_end = copy_counted(v + lo, v + mid, buffer, counter);
        T *b = v + mid, *out = v + lo;
        while (a != a_end && b != v + hi) {
            *out++ = less(*b, *a) ? *b++ : *a++;
            count();
        }
        copy_counted(a, a_end, out, counter);
    } else {
        // Backward, the second run moved aside.
        T* const b_begin = buffer;
        T* b = copy_counted(v + mid, v + hi, buffer, counter);
        T *a = v + mid, *out = v + hi;
        while (a != v + lo && b != b_begin) {
            *--out = less(b[-1], a[-1]) ? *--a : *--b;
            count();
        }
        copy_counted(b_begin, b, out - (b - b_begin), counter);
    }
    counter.add(since_count);
}

// Sorts v[first, v.size()) as std::sort would, in steps that count as work:
// blocks sorted alone, then merged in pairs.  Only for orders in which no
// two elements tie, where every sort agrees.
template <class T, class Less>
void sort_counted(std::vector<T>& v, std::size_t first, Less less, StopCounter& counter) {
    T* const data = v.data();
    const std::size_t n = v.size();
    if (n - first <= sort_run) {
        std::sort(data + first, data + n, less);
        counter.add(8 * (n - first));
        return;
    }
    for (std::size_t b = first; b < n; b += sort_run) {
        const std::size_t e = std::min(n, b + sort_run);
        std::sort(data + b, data + e, less);
        counter.add(8 * (e - b));
    }
    const auto buffer = std::make_unique_for_overwrite<T[]>((n - first) / 2 + 1);
    for (std::size_t width = sort_run; width < n - first; width *= 2) {
        for (std::size_t lo = first; lo + width < n; lo += 2 * width) {
            merge_counted(data, lo, lo + width, std::min(n, lo + 2 * width), buffer.get(), less, counter);
        }
    }
}

// Room for `more` elements at the end of v.  The vector grows as push_back
// would grow it, but its elements move in runs that count as work: moving
// millions of results (and touching the new pages) takes a while.
template <class T>
void make_room(std::vector<T>& v, std::size_t more, StopCounter& counter) {
    if (v.capacity() - v.size() >= more) return;
    std::vector<T> grown;
    grown.reserve(std::max(2 * v.capacity(), v.size() + more));
    for (std::size_t start = 0; start < v.size(); start += fill_run) {
        const std::size_t m = std::min(fill_run, v.size() - start);
        grown.insert(grown.end(), v.begin() + static_cast<std::ptrdiff_t>(start),
                     v.begin() + static_cast<std::ptrdiff_t>(start + m));
        counter.add(m);
    }
    v.swap(grown);
}

void fill_counted(double* distances, std::int64_t* indices, std::size_t k, StopCounter& counter) {
    for (std::size_t start = 0; start < k; start += fill_run) {
        const std::size_t m = std::min(fill_run, k - start);
        std::fill_n(distances + start, m, inf);
        std::fill_n(indices + start, m, std::int64_t{-1});
        counter.add(m / 8);
    }
}

}  // namespace

InvalidPoint::InvalidPoint(std::size_t index_, double lat_, double lon_)
    : std::invalid_argument("reference point " + std::to_string(index_) +
                            " is not a finite point with |latitude| <= 90"),
      index(index_), lat(lat_), lon(lon_) {}

class PointIndex::Query {
public:
    Query(const PointIndex& index, double lat_, double lon_, DistanceMethod method_) noexcept
        : lat(lat_), lon(lon_), unit(unit_normal(lat_, lon_)), method(method_) {
        if (method == DistanceMethod::great_circle) {
            inv_two_radius_ = 0.5 / EARTH_RADIUS_M;
            scale_ = 1.0 + relative_margin;
            slack_ = absolute_margin +
                     8.0 * eps * DEG_TO_RAD * (std::abs(lon) + index.tree_max_abs_lon_);
        } else {
            inv_two_radius_ = 0.5 / index.min_curvature_radius_;
            scale_ = 1.0 + index.geodesic_relative_margin_;
            slack_ = absolute_margin;
        }
    }

    // The chord within which every point at computed distance <= d lies.
    double chord_limit(double d) const noexcept {
        if (!(d < inf && scale_ < inf)) return inf;
        return 2.0 * std::sin(std::min(d * inv_two_radius_, half_pi)) * scale_ + slack_;
    }
    double chord_limit2(double d) const noexcept {
        const double c = chord_limit(d);
        return c * c;
    }

    const double lat, lon;
    const Vec3 unit;
    const DistanceMethod method;

private:
    double inv_two_radius_, scale_, slack_;
};

PointIndex::PointIndex(std::span<const double> lat, std::span<const double> lon, double a,
                       double f, WorkRunner& runner)
    : a_(a), f_(f), geodesic_(checked_geodesic(a, f)) {
    if (lat.size() != lon.size()) {
        throw std::invalid_argument("latitudes and longitudes differ in length");
    }
    const std::size_t n = lat.size();
    if (n >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("a point index holds fewer than 2^32 - 1 points");
    }
    min_curvature_radius_ = f >= 0.0 ? a * (1.0 - f) * (1.0 - f) : a / (1.0 - f);
    geodesic_relative_margin_ = geodesic_relative_margin(f);

    // Each input is read once, into this copy: another thread may write to
    // the caller's arrays meanwhile, and what is checked must be what is used.
    const auto points = std::make_unique_for_overwrite<LatLon[]>(n);  // written by the pieces
    std::atomic<std::size_t> first_invalid{n};
    for_each_range(runner, n, 2.0, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            points[i] = {lat[i], lon[i]};
            if (!valid_point(points[i].lat, points[i].lon)) {
                std::size_t seen = first_invalid.load(std::memory_order_relaxed);
                while (i < seen && !first_invalid.compare_exchange_weak(seen, i, std::memory_order_relaxed)) {
                }
                return;
            }
        }
    });
    if (const std::size_t bad = first_invalid.load(); bad < n) {
        throw InvalidPoint(bad, points[bad].lat, points[bad].lon);
    }

    std::vector<std::uint32_t> order, wide;
    order.reserve(n);
    StopCounter counter(&runner);
    for (std::size_t i = 0; i < n; ++i) {
        const double abs_lon = std::abs(points[i].lon);
        if (abs_lon <= max_tree_abs_lon) {
            order.push_back(static_cast<std::uint32_t>(i));
            tree_max_abs_lon_ = std::max(tree_max_abs_lon_, abs_lon);
        } else {
            wide.push_back(static_cast<std::uint32_t>(i));
        }
        counter.add(1);
    }
    tree_size_ = order.size();
    units_.resize(tree_size_);
    for_each_range(runner, tree_size_, 40.0, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            units_[i] = unit_normal(points[order[i]].lat, points[order[i]].lon);
        }
    });
    tree_.build(units_, order, runner);

    coords_.resize(n);
    ids_.resize(n);
    for_each_range(runner, tree_size_, 2.0, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            coords_[i] = points[order[i]];
            ids_[i] = order[i];
        }
    });
    for (std::size_t j = 0; j < wide.size(); ++j) {
        coords_[tree_size_ + j] = points[wide[j]];
        ids_[tree_size_ + j] = wide[j];
    }
}

std::size_t PointIndex::memory_bytes() const noexcept {
    return sizeof(*this) + units_.capacity() * sizeof(Vec3) + coords_.capacity() * sizeof(LatLon) +
           ids_.capacity() * sizeof(std::uint32_t) + tree_.memory_bytes();
}

void PointIndex::copy_points(double* lat, double* lon) const noexcept {
    for (std::size_t i = 0; i < coords_.size(); ++i) {
        lat[ids_[i]] = coords_[i].lat;
        lon[ids_[i]] = coords_[i].lon;
    }
}

// The k tree points of smallest chord within sqrt(limit2), into
// s.chord_heap in ascending order of chord (ties by position).
void PointIndex::nearest_by_chord(const Query& q, std::size_t k, double limit2, Scratch& s,
                                  StopCounter& counter) const {
    auto& heap = s.chord_heap;
    heap.clear();
    const auto by_key = [](const Scratch::Ranked& x, const Scratch::Ranked& y) {
        return before(x, y);
    };
    tree_.search(q.unit, limit2, [&](std::size_t begin, std::size_t end, double lim2) {
        for (std::size_t i = begin; i < end; ++i) {
            const double c2 = chord2(q.unit, i);
            if (!(c2 <= lim2)) continue;
            const Scratch::Ranked r{c2, static_cast<std::uint32_t>(i)};
            if (heap.size() < k) {
                heap.push_back(r);
                std::push_heap(heap.begin(), heap.end(), by_key);
                if (heap.size() == k) lim2 = heap.front().key;
            } else if (by_key(r, heap.front())) {
                std::pop_heap(heap.begin(), heap.end(), by_key);
                heap.back() = r;
                std::push_heap(heap.begin(), heap.end(), by_key);
                lim2 = heap.front().key;
            }
        }
        counter.add(end - begin);
        return lim2;
    });
    sort_counted(heap, 0, by_key, counter);
}

// accept(distance, position) for each of the stored positions given, with
// the distance computed exactly as the brute force computes it.
template <class Accept>
void PointIndex::evaluate(const Query& q, const std::uint32_t* positions, std::size_t count,
                          Scratch& s, Accept&& accept) const {
    if (q.method == DistanceMethod::geodesic) {
        for (std::size_t j = 0; j < count; ++j) {
            const LatLon& p = coords_[positions[j]];
            double d;
            // The distance-only overload: the same s12 bits as the one that
            // also returns azimuths (checked by the tests).
            geodesic_.Inverse(q.lat, q.lon, p.lat, p.lon, d);
            accept(d, positions[j]);
        }
        return;
    }
    // One kernel call per block: the bits do not depend on the position of a
    // point in the call, so they are those of great_circle_distance.
    for (std::size_t start = 0; start < count; start += block) {
        const std::size_t m = std::min(block, count - start);
        for (std::size_t j = 0; j < m; ++j) {
            const LatLon& p = coords_[positions[start + j]];
            s.lat2[j] = p.lat;
            s.lon2[j] = p.lon;
        }
        great_circle_distance_n(s.lat1.data(), s.lon1.data(), s.lat2.data(), s.lon2.data(),
                                s.out.data(), m);
        for (std::size_t j = 0; j < m; ++j) accept(s.out[j], positions[start + j]);
    }
}

template <class Accept>
void PointIndex::evaluate_counted(const Query& q, const std::uint32_t* positions,
                                  std::size_t count, Scratch& s, StopCounter& counter,
                                  Accept&& accept) const {
    const std::size_t units =
        q.method == DistanceMethod::geodesic ? geodesic_units : great_circle_units;
    for (std::size_t start = 0; start < count; start += block) {
        const std::size_t m = std::min(block, count - start);
        evaluate(q, positions + start, m, s, accept);
        counter.add(m * units);
    }
}

namespace {

void prepare_scratch(std::vector<double>& lat1, std::vector<double>& lon1,
                     std::vector<double>& lat2, std::vector<double>& lon2,
                     std::vector<double>& out, double lat, double lon) {
    lat1.assign(block, lat);
    lon1.assign(block, lon);
    lat2.resize(block);
    lon2.resize(block);
    out.resize(block);
}

}  // namespace

void PointIndex::query(double lat, double lon, std::size_t k, DistanceMethod method,
                       double max_distance, double* distances, std::int64_t* indices,
                       Scratch& s, StopCheck* stop) const {
    StopCounter counter(stop);
    fill_counted(distances, indices, k, counter);
    const std::size_t n = size();
    if (k == 0 || n == 0 || !valid_point(lat, lon) || !(max_distance >= 0.0)) return;
    const Query q(*this, lat, lon, method);
    if (method == DistanceMethod::great_circle) {
        prepare_scratch(s.lat1, s.lon1, s.lat2, s.lon2, s.out, lat, lon);
    }

    const std::size_t want = std::min(k, n);
    auto& best = s.best;
    best.clear();
    const auto accept = [&](double d, std::size_t position) {
        if (!(d <= max_distance)) return;
        const Scratch::Ranked r{d, ids_[position]};
        if (best.size() < want) {
            best.push_back(r);
            std::push_heap(best.begin(), best.end(), before<Scratch::Ranked>);
        } else if (before(r, best.front())) {
            std::pop_heap(best.begin(), best.end(), before<Scratch::Ranked>);
            best.back() = r;
            std::push_heap(best.begin(), best.end(), before<Scratch::Ranked>);
        }
    };
    const auto limit2 = [&] {
        return q.chord_limit2(best.size() < want ? max_distance : best.front().key);
    };

    // The k + 1 tree points of smallest chord: the first k are the seeds,
    // whose exact distances are usually the answer already, and the chord of
    // the next bounds that of every other point.
    const std::size_t want_tree = std::min(k, tree_size_);
    nearest_by_chord(q, std::min(want_tree + 1, tree_size_), limit2(), s, counter);
    const std::size_t found = s.chord_heap.size();
    s.seeds.clear();
    for (std::size_t j = 0; j < std::min(found, want_tree); ++j) {
        s.seeds.push_back(s.chord_heap[j].id);
    }
    sort_counted(s.seeds, 0, std::less<>(), counter);
    evaluate_counted(q, s.seeds.data(), s.seeds.size(), s, counter, accept);
    s.pending.clear();
    for (std::size_t i = tree_size_; i < n; ++i) s.pending.push_back(static_cast<std::uint32_t>(i));
    evaluate_counted(q, s.pending.data(), s.pending.size(), s, counter, accept);

    // Any other point can compete only if the next chord is within the limit
    // of the results so far.  (Fewer than k + 1 found means every tree point
    // within the limit is a seed.)
    if (found > want_tree && s.chord_heap[want_tree].key <= limit2()) {
        const auto is_seed = [&](std::size_t i) {
            return std::binary_search(s.seeds.begin(), s.seeds.end(),
                                      static_cast<std::uint32_t>(i));
        };
        tree_.search(q.unit, limit2(), [&](std::size_t begin, std::size_t end, double lim2) {
            counter.add(end - begin);
            if (method == DistanceMethod::geodesic) {
                // One at a time, so that each result can tighten the limit
                // for the rest of the leaf.
                for (std::size_t i = begin; i < end; ++i) {
                    if (!(chord2(q.unit, i) <= lim2) || is_seed(i)) continue;
                    const auto position = static_cast<std::uint32_t>(i);
                    evaluate_counted(q, &position, 1, s, counter, accept);
                    lim2 = limit2();
                }
                return lim2;
            }
            s.pending.clear();
            for (std::size_t i = begin; i < end; ++i) {
                if (chord2(q.unit, i) <= lim2 && !is_seed(i)) {
                    s.pending.push_back(static_cast<std::uint32_t>(i));
                }
            }
            if (s.pending.empty()) return lim2;
            evaluate_counted(q, s.pending.data(), s.pending.size(), s, counter, accept);
            return limit2();
        });
    }

    // A heap of distinct (distance, index) pairs: sorted, it is the answer.
    sort_counted(best, 0, before<Scratch::Ranked>, counter);
    for (std::size_t j = 0; j < best.size(); ++j) {
        distances[j] = best[j].key;
        indices[j] = best[j].id;
    }
}

std::size_t PointIndex::query_radius(double lat, double lon, double r, DistanceMethod method,
                                     bool sort, std::vector<Neighbor>& hits, Scratch& s,
                                     StopCheck* stop) const {
    const std::size_t n = size();
    if (n == 0 || !valid_point(lat, lon) || !(r >= 0.0)) return 0;
    StopCounter counter(stop);
    const Query q(*this, lat, lon, method);
    if (method == DistanceMethod::great_circle) {
        prepare_scratch(s.lat1, s.lon1, s.lat2, s.lon2, s.out, lat, lon);
    }
    const std::size_t first = hits.size();
    const auto accept = [&](double d, std::size_t position) {
        if (d <= r) hits.push_back({d, ids_[position]});
    };
    // Room is made before each block, so that push_back never reallocates.
    const auto evaluate_some = [&](const std::uint32_t* positions, std::size_t count) {
        for (std::size_t start = 0; start < count; start += block) {
            const std::size_t m = std::min(block, count - start);
            make_room(hits, m, counter);
            evaluate_counted(q, positions + start, m, s, counter, accept);
        }
    };
    tree_.search(q.unit, q.chord_limit2(r), [&](std::size_t begin, std::size_t end, double lim2) {
        s.pending.clear();
        for (std::size_t i = begin; i < end; ++i) {
            if (chord2(q.unit, i) <= lim2) s.pending.push_back(static_cast<std::uint32_t>(i));
        }
        counter.add(end - begin);
        evaluate_some(s.pending.data(), s.pending.size());
        return lim2;
    });
    s.pending.clear();
    for (std::size_t i = tree_size_; i < n; ++i) s.pending.push_back(static_cast<std::uint32_t>(i));
    evaluate_some(s.pending.data(), s.pending.size());

    // Indices are distinct, so no two hits tie in either order.
    if (sort) {
        sort_counted(hits, first, [](const Neighbor& x, const Neighbor& y) {
            return x.distance < y.distance || (x.distance == y.distance && x.index < y.index);
        }, counter);
    } else {
        sort_counted(hits, first,
                     [](const Neighbor& x, const Neighbor& y) { return x.index < y.index; },
                     counter);
    }
    return hits.size() - first;
}

}  // namespace orvik::core
