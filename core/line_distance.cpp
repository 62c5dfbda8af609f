#include "core/line_distance.hpp"

#include <GeographicLib/Accumulator.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

namespace orvik::core {
namespace {

using GeographicLib::Math;
using Mask = GeographicLib::Geodesic::mask;

constexpr double inf = std::numeric_limits<double>::infinity();

// Pieces are at most twice a segment's mean length, so that a line of a
// few long edges among many short ones has about as many pieces as edges,
// and at most this long, so that every bound stays tight.
constexpr double max_piece_length = 100e3;

double dot(const Vec3& u, const Vec3& v) noexcept { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }

Vec3 minus(const Vec3& u, const Vec3& v) noexcept { return {u[0] - v[0], u[1] - v[1], u[2] - v[2]}; }

double norm(const Vec3& u) noexcept { return std::sqrt(dot(u, u)); }

Vec3 direction_of(const Vec3& u) noexcept {
    const double n = norm(u);
    return {u[0] / n, u[1] / n, u[2] / n};
}

// The angle between two unit vectors, accurate at every angle.
double angle_between(const Vec3& u, const Vec3& v) noexcept {
    const Vec3 c{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    return std::atan2(norm(c), dot(u, v));
}

// The distance from p to the straight segment from a to b.
double segment_gap(const Vec3& p, const Vec3& a, const Vec3& b) noexcept {
    const Vec3 ab = minus(b, a), ap = minus(p, a);
    const double length2 = dot(ab, ab);
    const double t = length2 > 0 ? std::clamp(dot(ap, ab) / length2, 0.0, 1.0) : 0.0;
    const Vec3 foot{a[0] + t * ab[0], a[1] + t * ab[1], a[2] + t * ab[2]};
    return norm(minus(p, foot));
}

bool is_point(double lat, double lon) noexcept { return std::abs(lat) <= 90 && std::isfinite(lon); }

// Rough nanoseconds of work per segment: its inverse problem, then its
// pieces' points.
constexpr double shape_ns = 1500;
constexpr double pieces_ns = 2500;

}  // namespace

Vec3 surface_position(const GeographicLib::Geodesic& g, double lat, double lon) noexcept {
    const double a = g.EquatorialRadius(), f = g.Flattening(), e2 = f * (2 - f);
    double sin_phi, cos_phi, sin_lambda, cos_lambda;
    Math::sincosd(lat, sin_phi, cos_phi);
    Math::sincosd(lon, sin_lambda, cos_lambda);
    const double n = a / std::sqrt(1 - e2 * sin_phi * sin_phi);
    return {n * cos_phi * cos_lambda, n * cos_phi * sin_lambda, n * (1 - e2) * sin_phi};
}

LineDistance::LineDistance(const GeographicLib::Geodesic& g, std::span<const double> lat, std::span<const double> lon,
                           WorkRunner& runner)
    : g_(g) {
    if (lat.size() != lon.size()) throw std::invalid_argument("the line's latitudes and longitudes differ in length");
    const std::size_t n = lat.size();
    if (n < 2) throw std::invalid_argument("a line needs at least two vertices, not " + std::to_string(n));
    if (n - 1 >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("a line has fewer than 2^32 - 1 segments");
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!is_point(lat[i], lon[i])) {
            std::ostringstream text;
            text.precision(17);
            text << "vertex " << i << " of the line, (" << lat[i] << ", " << lon[i]
                 << "), is not a finite point with |latitude| <= 90";
            throw std::invalid_argument(text.str());
        }
    }
    const double a = g.EquatorialRadius(), f = g.Flattening();
    inner_radius_ = std::min(a, a * (1 - f));
    max_curvature_ = f >= 0 ? a / (inner_radius_ * inner_radius_) : (1 - f) / a;
    relative_margin_ = geodesic_relative_margin(f);
    absolute_margin_ = bound_absolute_margin * a;
    convex_bound_ = std::abs(f) <= 0.01;

    // Every segment's inverse problem, then the ones that have a length.
    std::vector<SegmentShape> all(n - 1);
    for_each_range(runner, n - 1, shape_ns, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) all[i] = segment_shape(g, lat[i], lon[i], lat[i + 1], lon[i + 1]);
    });
    GeographicLib::Accumulator<> along;
    double total = 0;
    for (std::size_t i = 0; i < n - 1; ++i) {
        if (all[i].length > 0) {
            shapes_.push_back(all[i]);
            segment_index_.push_back(static_cast<std::uint32_t>(i));
            start_along_.push_back(along());
            total += all[i].length;
        }
        along += all[i].length;
    }
    if (shapes_.empty()) {  // one point: its first segment stands for it
        shapes_.push_back(all[0]);
        segment_index_.push_back(0);
        start_along_.push_back(0.0);
    }
    shapes_.shrink_to_fit();

    const double piece_length =
        std::min(max_piece_length, 2 * total / static_cast<double>(shapes_.size()));
    std::vector<std::size_t> first_piece(shapes_.size() + 1, 0);
    for (std::size_t s = 0; s < shapes_.size(); ++s) {
        const double count = piece_length > 0 ? std::ceil(shapes_[s].length / piece_length) : 1.0;
        first_piece[s + 1] = first_piece[s] + static_cast<std::size_t>(std::max(1.0, count));
    }
    std::vector<Piece> pieces(first_piece.back());
    std::vector<Vec3> directions(pieces.size());
    for_each_range(runner, shapes_.size(), pieces_ns, [&](std::size_t begin, std::size_t end) {
        for (std::size_t s = begin; s < end; ++s) {
            const SegmentShape& shape = shapes_[s];
            const GeographicLib::GeodesicLine line = g.Line(
                shape.lat1, shape.lon1, shape.azi1, Mask::LATITUDE | Mask::LONGITUDE | Mask::AZIMUTH | Mask::DISTANCE_IN);
            const std::size_t count = first_piece[s + 1] - first_piece[s];
            // The segment's own ends are its vertices, not recomputed.
            const auto point_at = [&](double t, double& plat, double& plon) {
                if (t == 0) {
                    plat = shape.lat1, plon = shape.lon1;
                } else if (t == shape.length) {
                    plat = shape.lat2, plon = shape.lon2;
                } else {
                    line.Position(t, plat, plon);
                }
            };
            double begin_lat, begin_lon;
            point_at(0, begin_lat, begin_lon);
            Vec3 begin_position = surface_position(g, begin_lat, begin_lon);
            for (std::size_t k = 0; k < count; ++k) {
                Piece& p = pieces[first_piece[s] + k];
                p.segment = static_cast<std::uint32_t>(s);
                p.begin = shape.length * static_cast<double>(k) / static_cast<double>(count);
                p.end = k + 1 == count ? shape.length : shape.length * static_cast<double>(k + 1) / static_cast<double>(count);
                double end_lat, end_lon;
                point_at(p.end, end_lat, end_lon);
                line.Position(0.5 * (p.begin + p.end), p.mid_lat, p.mid_lon, p.mid_azi);
                p.chord_begin = begin_position;
                p.chord_end = surface_position(g, end_lat, end_lon);
                const double l = p.end - p.begin;
                p.bulge = std::min(0.5 * l, 0.25 * max_curvature_ * l * l);
                directions[first_piece[s] + k] = direction_of(surface_position(g, p.mid_lat, p.mid_lon));
                begin_position = p.chord_end;
            }
        }
    });
    for (const Piece& p : pieces) max_half_piece_ = std::max(max_half_piece_, 0.5 * (p.end - p.begin));

    std::vector<std::uint32_t> order(pieces.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
    tree_.build(directions, order, runner);
    directions_ = std::move(directions);
    pieces_.resize(pieces.size());
    for (std::size_t i = 0; i < order.size(); ++i) pieces_[i] = pieces[order[i]];
}

std::size_t LineDistance::memory_bytes() const noexcept {
    return sizeof(*this) + shapes_.capacity() * sizeof(SegmentShape) +
           segment_index_.capacity() * sizeof(std::uint32_t) + start_along_.capacity() * sizeof(double) +
           pieces_.capacity() * sizeof(Piece) + directions_.capacity() * sizeof(Vec3) + tree_.memory_bytes();
}

// A distance that no point of the piece can be nearer than, with the
// margins taken off; -inf where bounds are not trusted.
double LineDistance::lower_bound(const Piece& piece, const Vec3& position, const Vec3& direction,
                                 std::size_t tree_position) const noexcept {
    if (!(relative_margin_ < inf)) return -inf;
    const double half = 0.5 * (piece.end - piece.begin);
    const double by_direction = inner_radius_ * angle_between(direction, directions_[tree_position]) - half;
    const double by_chord = segment_gap(position, piece.chord_begin, piece.chord_end) - piece.bulge;
    return std::max(by_direction, by_chord) / (1 + relative_margin_) - absolute_margin_;
}

void LineDistance::solve(std::size_t segment, double lat, double lon, double start, LinePoint& best,
                         std::size_t* inverses) const {
    const GeodesicSegment geodesic(g_, shapes_[segment]);
    ClosestPoint found = geodesic.closest_from(lat, lon, start, inverses);
    const std::int64_t index = segment_index_[segment];
    if (found.distance < best.point.distance || (found.distance == best.point.distance && index < best.segment)) {
        found.along += start_along_[segment];
        best = {found, index};
    }
}

bool LineDistance::Scratch::solved(std::uint32_t segment) const noexcept {
    return std::find(done.begin(), done.end(), segment) != done.end();
}

LinePoint LineDistance::nearest(double lat, double lon, Scratch& s, std::size_t* inverses) const {
    LinePoint best{no_closest_point(), -1};
    if (!is_point(lat, lon)) return best;
    best.point.distance = inf;
    s.done.clear();
    const Vec3 position = surface_position(g_, lat, lon);
    const Vec3 direction = direction_of(position);
    const auto chord2 = [&](std::size_t i) {
        const Vec3 d = minus(directions_[i], direction);
        return dot(d, d);
    };

    // The piece whose centre is nearest in direction: its segment's
    // distance is the first to beat.
    std::size_t seed = 0;
    tree_.search(direction, inf, [&](std::size_t begin, std::size_t end, double limit2) {
        for (std::size_t i = begin; i < end; ++i) {
            const double c2 = chord2(i);
            if (c2 < limit2) {
                limit2 = c2;
                seed = i;
            }
        }
        return limit2;
    });
    const Piece& first = pieces_[seed];
    s.done.push_back(first.segment);
    solve(first.segment, lat, lon, 0.5 * (first.begin + first.end), best, inverses);

    // Every piece that may hold a nearer point, nearest bound first.
    s.candidates.clear();
    double limit2 = inf;
    if (relative_margin_ < inf) {
        const double reach =
            (best.point.distance * (1 + relative_margin_) + absolute_margin_ + max_half_piece_) / inner_radius_;
        const double chord = 2 * std::sin(0.5 * std::min(reach, Math::pi()));
        limit2 = chord * chord * (1 + 1e-12) + 1e-30;
    }
    tree_.search(direction, limit2, [&](std::size_t begin, std::size_t end, double lim2) {
        for (std::size_t i = begin; i < end; ++i) {
            if (!(chord2(i) <= lim2) || pieces_[i].segment == first.segment) continue;
            const double bound = lower_bound(pieces_[i], position, direction, i);
            if (bound <= best.point.distance) s.candidates.push_back({bound, static_cast<std::uint32_t>(i)});
        }
        return lim2;
    });
    std::sort(s.candidates.begin(), s.candidates.end(), [&](const Scratch::Candidate& x, const Scratch::Candidate& y) {
        return x.bound < y.bound || (x.bound == y.bound && pieces_[x.piece].segment < pieces_[y.piece].segment);
    });

    const double convex_reach = 0.75 * Math::pi() / 2 * inner_radius_;
    for (const Scratch::Candidate& c : s.candidates) {
        if (c.bound > best.point.distance) break;
        const Piece& piece = pieces_[c.piece];
        if (s.solved(piece.segment)) continue;
        const double mid = 0.5 * (piece.begin + piece.end), half = 0.5 * (piece.end - piece.begin);
        double start = mid;
        if (convex_bound_) {
            // The distance from the piece's midpoint, and how fast it
            // changes along the segment there.
            double s12, azi_to, azi2, m12, M12, M21, S12;
            g_.GenInverse(piece.mid_lat, piece.mid_lon, lat, lon, Mask::DISTANCE | Mask::AZIMUTH, s12, azi_to, azi2,
                          m12, M12, M21, S12);
            if (inverses != nullptr) ++*inverses;
            double sin_g, cos_g;
            Math::sincosd(Math::AngDiff(piece.mid_azi, azi_to), sin_g, cos_g);
            if (s12 + half <= convex_reach) {
                const double bound = (s12 - half * std::abs(cos_g)) / (1 + relative_margin_) - absolute_margin_;
                if (bound > best.point.distance) continue;
            }
            start = mid + s12 * cos_g;
        }
        s.done.push_back(piece.segment);
        solve(piece.segment, lat, lon, start, best, inverses);
    }
    return best;
}

}  // namespace orvik::core
