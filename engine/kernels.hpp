// The element kernels of the package's elementwise functions, behind one
// signature, as NumPy's ufunc loops are: strided input columns, the output
// columns a mask selects, a count, and the Earth model.  Each computes
// element i of every selected output from element i of every input.
#pragma once

#include <cstddef>
#include <span>

#include "core/geodesic.hpp"
#include "core/rhumb.hpp"
#include "core/strided.hpp"

namespace orvik::core {
class Rhumb;  // where the build has no rhumb lines: only ever a null pointer
}

namespace orvik::engine {

// What a kernel computes on: an ellipsoid's geodesic or rhumb solver, or a
// sphere's radius in metres.
struct Model {
    const core::Geodesic* solver = nullptr;
    const core::Rhumb* rhumb = nullptr;
    double radius = 0.0;
};

enum class ModelKind : unsigned char {
    none,       // a unit conversion, a constant
    ellipsoid,  // `ellipsoid=`: None (WGS84), a name or (a, f)
    sphere,     // `radius=`: metres, the mean Earth radius by default
    rhumb,      // `ellipsoid=` as above and `exact=`, a bool (False by default)
};

// What an output column holds.  Kernels write every column as float64;
// the dispatcher gives the others back in their own type: flags (the kernel
// writes 1.0 or 0.0) as bool arrays, and as True or False for numbers; whole
// numbers (indices, counts) as int64 arrays and ints, a NaN as -1.
enum class Holds : unsigned char { float64, flag, int64 };

// One output column: its name, and its unit as docs and stubs show it.
struct Column {
    const char* name;
    const char* unit;  // "m", "deg", "m^2", "rad", "km", "mi", "nm", "ft", or "" when it has none
    Holds holds = Holds::float64;
};

// in[k]: input column k; out[k]: output column k, written where bit 1 << k
// of `mask` is set (and not touched otherwise).  Never throws.
using KernelFn = void (*)(const Model& model, const core::StridedIn* in, const core::StridedOut* out,
                          unsigned mask, std::size_t n) noexcept;

struct Kernel {
    KernelFn run;
    std::size_t inputs;
    std::span<const Column> columns;
    ModelKind model;
    // Rough nanoseconds per element on one core: what is worth the pool,
    // and how long the pieces of a map may be.
    double ns_per_element;
    // Prepares the model for the kernel, with the interpreter lock, before
    // it runs; throws PythonError (a ValueError naming what is wrong) where
    // the model cannot serve it.  Null: nothing to prepare.
    void (*prepare)(const Model&) = nullptr;
};

// --- the kernels ------------------------------------------------------------------

void inverse(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned, std::size_t) noexcept;
void direct(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned, std::size_t) noexcept;
void great_circle_distance(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned,
                           std::size_t) noexcept;
void great_circle_destination(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned,
                              std::size_t) noexcept;
#if ORVIK_HAVE_RHUMB
void rhumb_inverse(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned, std::size_t) noexcept;
void rhumb_direct(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned, std::size_t) noexcept;
#endif
void dms_to_deg(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned, std::size_t) noexcept;
void deg_to_dms(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned, std::size_t) noexcept;
void distance_to_segment(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned,
                         std::size_t) noexcept;
#if ORVIK_HAVE_INTERSECT
void closest_intersection(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned,
                          std::size_t) noexcept;
void segment_intersection(const Model&, const core::StridedIn*, const core::StridedOut*, unsigned,
                          std::size_t) noexcept;
// Makes the ellipsoid's Intersect before the kernel runs, so that running
// out of memory is a MemoryError, not NaN; ValueError for an ellipsoid too
// eccentric for it (none that resolve_ellipsoid accepts today).
void prepare_intersections(const Model&);
#endif

// A conversion of one value into one value.
template <double (*Convert)(double) noexcept>
void convert(const Model&, const core::StridedIn* in, const core::StridedOut* out, unsigned,
             std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) out[0].set(i, Convert(in[0][i]));
}

// A constant of no arguments: the value of `Value` (a reference to a
// constexpr double; doubles themselves are template arguments only from
// C++20 compilers newer than some this builds with).
template <const double& Value>
void constant(const Model&, const core::StridedIn*, const core::StridedOut* out, unsigned,
              std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) out[0].set(i, Value);
}

// --- their columns ----------------------------------------------------------------

// The inverse and direct problems' columns, in the order of the bits of
// core::InverseOutput and core::DirectOutput.
inline constexpr Column inverse_columns[] = {
    {"s12", "m"}, {"azi1", "deg"}, {"azi2", "deg"}, {"a12", "deg"},
    {"m12", "m"}, {"M12", ""},     {"M21", ""},     {"S12", "m^2"},
};
inline constexpr Column direct_columns[] = {
    {"lat2", "deg"}, {"lon2", "deg"}, {"azi2", "deg"}, {"a12", "deg"},
    {"m12", "m"},    {"M12", ""},     {"M21", ""},     {"S12", "m^2"},
};
// The rhumb problems' columns, in the order of the bits of
// core::RhumbInverseOutput and core::RhumbDirectOutput.
inline constexpr Column rhumb_inverse_columns[] = {{"s12", "m"}, {"azi12", "deg"}, {"S12", "m^2"}};
inline constexpr Column rhumb_direct_columns[] = {{"lat2", "deg"}, {"lon2", "deg"}, {"S12", "m^2"}};
inline constexpr Column distance_column[] = {{"distance", "m"}};
inline constexpr Column destination_columns[] = {{"lat2", "deg"}, {"lon2", "deg"}};


// Where geodesics meet (core/intersections.hpp), and the closest point of a
// segment (core/segment_distance.hpp).
inline constexpr Column intersection_columns[] = {
    {"x", "m"},  {"y", "m"}, {"lat", "deg"}, {"lon", "deg"}, {"coincident", ""}, {"intersects", "", Holds::flag},
};
inline constexpr Column closest_point_columns[] = {
    {"distance", "m"}, {"along", "m"}, {"lat", "deg"}, {"lon", "deg"}, {"side", ""},
};

inline constexpr Kernel inverse_kernel{inverse, 4, inverse_columns, ModelKind::ellipsoid, 1000};
inline constexpr Kernel direct_kernel{direct, 4, direct_columns, ModelKind::ellipsoid, 600};
#if ORVIK_HAVE_RHUMB
inline constexpr Kernel rhumb_inverse_kernel{rhumb_inverse, 4, rhumb_inverse_columns, ModelKind::rhumb, 400};
inline constexpr Kernel rhumb_direct_kernel{rhumb_direct, 4, rhumb_direct_columns, ModelKind::rhumb, 500};
#endif
inline constexpr Kernel great_circle_distance_kernel{great_circle_distance, 4, distance_column, ModelKind::sphere,
                                                     8};
inline constexpr Kernel great_circle_destination_kernel{great_circle_destination, 4, destination_columns,
                                                        ModelKind::sphere, 40};
inline constexpr Kernel distance_to_segment_kernel{distance_to_segment, 6, closest_point_columns,
                                                   ModelKind::ellipsoid, 3000};
#if ORVIK_HAVE_INTERSECT
inline constexpr Kernel closest_intersection_kernel{closest_intersection, 6, std::span(intersection_columns).first(5),
                                                    ModelKind::ellipsoid, 5000, prepare_intersections};
inline constexpr Kernel segment_intersection_kernel{segment_intersection, 8, intersection_columns,
                                                    ModelKind::ellipsoid, 6000, prepare_intersections};
#endif

}  // namespace orvik::engine
