// Exact nearest neighbours among fixed reference points, by geodesic distance
// on an ellipsoid or by great-circle distance.
//
// "Exact" means the results are those of brute force: the distance from the
// query (point 1) to every reference point (point 2) with the library's own
// scalar functions, then a stable sort.  The tree only proposes candidates
// and proves that the rest cannot compete; every distance reported is
// computed by the same function as the brute force would, so it has the
// same bits, and ties go to the smaller index.
//
// The index is immutable once built: any number of threads may query it at
// once, each with its own Scratch.
#pragma once

#include <GeographicLib/Geodesic.hpp>

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "core/geodesic.hpp"
#include "core/kd_tree.hpp"
#include "core/uninitialized_vector.hpp"
#include "core/work_runner.hpp"

namespace orvik::core {

enum class DistanceMethod {
    geodesic,      // on the index's ellipsoid, GeographicLib's s12
    great_circle,  // great_circle_distance: haversine on the mean-radius sphere
};

// One result: a distance in metres and the reference point's position in the
// input arrays.
struct Neighbor {
    double distance;
    std::int64_t index;
};

// A reference point the index refuses: a NaN latitude or one outside
// [-90, 90], or a longitude that is not finite.  The values are those the
// index read.
class InvalidPoint : public std::invalid_argument {
public:
    InvalidPoint(std::size_t index_, double lat_, double lon_);
    std::size_t index;
    double lat, lon;
};

class PointIndex {
public:
    // Working memory of one thread's queries.  Keeping one per thread and
    // reusing it across queries avoids allocating on every query.
    class Scratch {
    public:
        Scratch() = default;

    private:
        friend class PointIndex;
        struct Ranked {
            double key;
            std::uint32_t id;  // tree position (chord seeds) or input index (results)
        };
        std::vector<Ranked> chord_heap;
        std::vector<std::uint32_t> seeds;  // tree positions, sorted
        std::vector<Ranked> best;          // max-heap on (distance, input index)
        std::vector<std::uint32_t> pending;
        std::vector<double> lat2, lon2, lat1, lon1, out;
    };

    // Copies the points (degrees), reading each once.  Throws InvalidPoint for
    // the first point that is not valid, std::invalid_argument if the spans
    // differ in length or the ellipsoid has no positive finite equatorial
    // radius `a` and polar radius a * (1 - f); std::length_error beyond
    // 2^32 - 1 points.  The work is done in pieces of `runner`, whose check
    // may stop it by throwing; the index built does not depend on the runner.
    PointIndex(std::span<const double> lat, std::span<const double> lon, double a = WGS84_A,
               double f = WGS84_F, WorkRunner& runner = inline_runner());

    std::size_t size() const noexcept { return coords_.size(); }
    double equatorial_radius() const noexcept { return a_; }
    double flattening() const noexcept { return f_; }

    // Everything the index holds, in bytes.
    std::size_t memory_bytes() const noexcept;

    // The reference points as given, in their input order.
    void copy_points(double* lat, double* lon) const noexcept;

    // The k nearest reference points into distances[0, k) and indices[0, k),
    // nearest first, ties by the smaller index, only those with distance <= max_distance (+inf: no limit).  Slots
    // left over (beyond n, or beyond max_distance) hold +inf and -1, as does
    // the whole row for a NaN, infinite or out-of-range query point, or a NaN
    // max_distance.
    //
    // Both queries ask `stop` (unless null) every few thousand points
    // examined, distances computed or results written: a query with a huge
    // k or radius may run for seconds.  If it throws, the outputs hold
    // partial results.
    void query(double lat, double lon, std::size_t k, DistanceMethod method, double max_distance,
               double* distances, std::int64_t* indices, Scratch& scratch,
               StopCheck* stop = nullptr) const;

    // Appends every reference point with distance <= r to `hits`: by distance
    // then index with `sort`, else by index.  Returns how many it appended
    // (none for an invalid query point or a NaN r).
    std::size_t query_radius(double lat, double lon, double r, DistanceMethod method, bool sort,
                             std::vector<Neighbor>& hits, Scratch& scratch,
                             StopCheck* stop = nullptr) const;

private:
    struct LatLon {
        double lat, lon;
    };
    class Query;

    // Squared chord from q to the tree point at `position`.
    double chord2(const Vec3& q, std::size_t position) const noexcept {
        const Vec3& u = units_[position];
        const double dx = u[0] - q[0], dy = u[1] - q[1], dz = u[2] - q[2];
        return dx * dx + dy * dy + dz * dz;
    }
    void nearest_by_chord(const Query& q, std::size_t k, double limit2, Scratch& s,
                          StopCounter& counter) const;
    template <class Accept>
    void evaluate(const Query& q, const std::uint32_t* positions, std::size_t count, Scratch& s,
                  Accept&& accept) const;
    // evaluate() in runs that each count as work for `counter`.
    template <class Accept>
    void evaluate_counted(const Query& q, const std::uint32_t* positions, std::size_t count,
                          Scratch& s, StopCounter& counter, Accept&& accept) const;

    // Tree order for [0, tree_size_), then the points whose longitudes are
    // too far out for the great-circle bound (examined by every query).
    // The unit vectors (surface normals: the points at their geodetic
    // latitude and longitude on the unit sphere) are kept apart, so that the
    // scan of a leaf reads nothing else.
    UninitializedVector<Vec3> units_;  // tree points only
    UninitializedVector<LatLon> coords_;
    UninitializedVector<std::uint32_t> ids_;  // input index of each stored point
    std::size_t tree_size_ = 0;
    double tree_max_abs_lon_ = 0.0;
    KdTree3 tree_;

    double a_, f_;
    GeographicLib::Geodesic geodesic_;
    double min_curvature_radius_;
    double geodesic_relative_margin_;  // +inf where the bound is not trusted
};

}  // namespace orvik::core
