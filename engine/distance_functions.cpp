// orvik.distance: distances and destinations, great-circle (on a sphere) and
// geodesic (on an ellipsoid), over numbers, broadcast arrays and the pairs of
// two point sets.
#include <iterator>
#include <string_view>

#include "engine/function_tables.hpp"

namespace orvik::engine {
namespace {

constexpr std::string_view pair[] = {"lat1", "lon1", "lat2", "lon2"};
constexpr std::string_view destination[] = {"lat1", "lon1", "bearing", "distance"};

constexpr Field s12[] = {{"s12", Source::column, 0}};
constexpr Field distance[] = {{"distance", Source::column, 0}};
constexpr Field end_point[] = {{"lat2", Source::column, 0}, {"lon2", Source::column, 1}};
constexpr Field inverse_fields[] = {
    {"lat1", Source::argument, 0}, {"lon1", Source::argument, 1}, {"lat2", Source::argument, 2},
    {"lon2", Source::argument, 3}, {"s12", Source::column, 0},    {"azi1", Source::column, 1},
    {"azi2", Source::column, 2},   {"a12", Source::column, 3},
};

constexpr const char* geodesic_distance_doc =
    "Geodesic (ellipsoidal) distance in metres between (lat1, lon1) and (lat2, lon2),\n"
    "in degrees.";
constexpr const char* geodesic_destination_doc =
    "The point (lat2, lon2) reached from (lat1, lon1) along the geodesic that leaves it\n"
    "at `bearing` (degrees clockwise from north), after `distance` metres; lon2 is\n"
    "reduced to [-180, 180].";
constexpr const char* great_circle_distance_doc =
    "Great-circle (haversine) distance in metres on a sphere of `radius` metres (by\n"
    "default the mean Earth radius).";
constexpr const char* great_circle_destination_doc =
    "The point (lat2, lon2) reached on a sphere of `radius` metres from (lat1, lon1)\n"
    "along `bearing` (degrees clockwise from north) after `distance` metres; lon2 is\n"
    "not wrapped.";
constexpr const char* rhumb_distance_doc =
    "Rhumb-line (loxodrome: constant bearing) distance in metres between (lat1, lon1)\n"
    "and (lat2, lon2), in degrees, on the ellipsoid.  The line goes the shorter way in\n"
    "longitude; a rhumb line is never shorter than the geodesic, and can be half as\n"
    "long again.  NaN for a NaN or infinite input or a latitude beyond 90.";
constexpr const char* rhumb_destination_doc =
    "The point (lat2, lon2) reached from (lat1, lon1) by keeping the constant `bearing`\n"
    "(degrees clockwise from north) for `distance` metres on the ellipsoid; lon2 is\n"
    "reduced to [-180, 180].  A course that would pass a pole has no longitude there:\n"
    "lon2 is NaN.";

const Function rows[] = {
    {"orvik.distance", "geodesic_distance", pair, geodesic_distance_doc, inverse_kernel, Form::value, s12},
    {"orvik.distance", "geodesic_destination", destination, geodesic_destination_doc, direct_kernel, Form::tuple,
     end_point},
    {"orvik.distance", "great_circle_distance", pair, great_circle_distance_doc, great_circle_distance_kernel,
     Form::value, distance},
    {"orvik.distance", "great_circle_destination", destination, great_circle_destination_doc,
     great_circle_destination_kernel, Form::tuple, end_point},
#if ORVIK_HAVE_RHUMB
    {"orvik.distance", "rhumb_distance", pair, rhumb_distance_doc, rhumb_inverse_kernel, Form::value, s12},
    {"orvik.distance", "rhumb_destination", destination, rhumb_destination_doc, rhumb_direct_kernel, Form::tuple,
     end_point},
#endif
    {"orvik.distance", "geodesic_inverse", pair,
     "The inverse geodesic problem: a dict of lat1, lon1, lat2, lon2, s12 (metres),\n"
     "azi1, azi2 (degrees) and a12 (arc length, degrees).",
     inverse_kernel, Form::dict, inverse_fields},
    {"orvik.distance", "geodesic_distance_batch", pair,
     "Geodesic distances in metres between broadcast pairs of points.\n\n"
     "Array-likes of any shape broadcast by NumPy's rules: one point against\n"
     "many needs no repeated arrays.  Raises ValueError naming the shapes when\n"
     "they cannot be broadcast.",
     inverse_kernel, Form::value, s12, false},
    {"orvik.distance", "great_circle_distance_batch", pair,
     "Great-circle distances in metres between broadcast pairs of points, on\n"
     "a sphere of `radius` metres.\n\n"
     "Array-likes of any shape broadcast by NumPy's rules.  Raises ValueError\n"
     "naming the shapes when they cannot be broadcast.",
     great_circle_distance_kernel, Form::value, distance, false},
    {"orvik.distance", "geodesic_distance_matrix", pair,
     "The (n, m) geodesic distances in metres from each of the n points\n"
     "(lat1, lon1) to each of the m points (lat2, lon2).\n\n"
     "Each set is one-dimensional; a number is a set of one point.",
     inverse_kernel, Form::value, s12, false, Layout::outer},
    {"orvik.distance", "great_circle_distance_matrix", pair,
     "The (n, m) great-circle distances in metres from each of the n points\n"
     "(lat1, lon1) to each of the m points (lat2, lon2), on a sphere of\n"
     "`radius` metres.\n\n"
     "Each set is one-dimensional; a number is a set of one point.",
     great_circle_distance_kernel, Form::value, distance, false, Layout::outer},
    {"orvik.distance", "geodesic_destination_batch", destination,
     "The (lat2, lon2) arrays reached from broadcast start points along\n"
     "`bearing` (degrees clockwise from north) after `distance` metres on the\n"
     "ellipsoid; longitudes are reduced to [-180, 180].",
     direct_kernel, Form::tuple, end_point, false},
    {"orvik.distance", "great_circle_destination_batch", destination,
     "The (lat2, lon2) arrays reached on a sphere of `radius` metres from\n"
     "broadcast start points along `bearing` after `distance` metres; longitudes\n"
     "are not wrapped, as great_circle_destination's are not.",
     great_circle_destination_kernel, Form::tuple, end_point, false},
};

const auto entries = entries_of<rows>(std::make_index_sequence<std::size(rows)>());

}  // namespace

const FunctionTable distance_functions{rows, entries};

}  // namespace orvik::engine
