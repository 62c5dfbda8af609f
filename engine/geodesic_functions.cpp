// orvik.geodesic's problems and constants: the inverse and direct geodesic
// problems over numbers and arrays, and the WGS84 ellipsoid's parameters.
#include <iterator>
#include <string_view>

#include "core/geodesic.hpp"
#include "engine/function_tables.hpp"

namespace orvik::engine {
namespace {

constexpr std::string_view pair[] = {"lat1", "lon1", "lat2", "lon2"};
constexpr std::string_view start[] = {"lat1", "lon1", "azi1", "s12"};

constexpr Field full_inverse[] = {
    {"lat1", Source::argument, 0}, {"lon1", Source::argument, 1}, {"lat2", Source::argument, 2},
    {"lon2", Source::argument, 3}, {"s12", Source::column, 0},    {"azi1", Source::column, 1},
    {"azi2", Source::column, 2},   {"a12", Source::column, 3},    {"m12", Source::column, 4},
    {"M12", Source::column, 5},    {"M21", Source::column, 6},    {"S12", Source::column, 7},
};
// As it always has, the direct problem's dict holds a12 as a fixed 0.0;
// direct_batch gives the arc length.
constexpr Field direct_fields[] = {
    {"lat1", Source::argument, 0}, {"lon1", Source::argument, 1}, {"lat2", Source::column, 0},
    {"lon2", Source::column, 1},   {"s12", Source::argument, 3},  {"azi1", Source::argument, 2},
    {"azi2", Source::column, 2},   {"a12", Source::zero},
};
constexpr Field inverse_default[] = {{"s12", Source::column, 0}, {"azi1", Source::column, 1}, {"azi2", Source::column, 2}};
constexpr Field direct_default[] = {{"lat2", Source::column, 0}, {"lon2", Source::column, 1}, {"azi2", Source::column, 2}};

constexpr std::string_view two_lines[] = {"lat_a", "lon_a", "azi_a", "lat_b", "lon_b", "azi_b"};
constexpr std::string_view two_segments[] = {"lat1a", "lon1a", "lat2a", "lon2a", "lat1b", "lon1b", "lat2b", "lon2b"};
constexpr std::string_view point_and_segment[] = {"lat", "lon", "lat1", "lon1", "lat2", "lon2"};

// Separate lists, not one list's first five: result dicts' keys are kept
// per list.
constexpr Field closest_intersection_fields[] = {
    {"x", Source::column, 0},   {"y", Source::column, 1},          {"lat", Source::column, 2},
    {"lon", Source::column, 3}, {"coincident", Source::column, 4},
};
constexpr Field intersection_fields[] = {
    {"x", Source::column, 0},   {"y", Source::column, 1},          {"lat", Source::column, 2},
    {"lon", Source::column, 3}, {"coincident", Source::column, 4}, {"intersects", Source::column, 5},
};
constexpr Field closest_point_fields[] = {
    {"distance", Source::column, 0}, {"along", Source::column, 1}, {"lat", Source::column, 2},
    {"lon", Source::column, 3},      {"side", Source::column, 4},
};

constexpr Column radius_column[] = {{"a", "m"}};
constexpr Column flattening_column[] = {{"f", ""}};
constexpr Field constant_field[] = {{"value", Source::column, 0}};
constexpr Kernel wgs84_a_kernel{constant<core::WGS84_A>, 0, radius_column, ModelKind::none, 1};
constexpr Kernel wgs84_f_kernel{constant<core::WGS84_F>, 0, flattening_column, ModelKind::none, 1};

const Function rows[] = {
    {"orvik.geodesic", "inverse", pair,
     "The inverse geodesic problem with every output: a dict of lat1, lon1, lat2, lon2,\n"
     "s12 (m), azi1, azi2, a12 (deg), m12 (reduced length, m), M12, M21 (geodesic\n"
     "scales) and S12 (area between the geodesic and the equator, m^2).",
     inverse_kernel, Form::dict, full_inverse},
    {"orvik.geodesic", "direct", start,
     "The direct geodesic problem: a dict of lat1, lon1, lat2, lon2, s12, azi1, azi2\n"
     "and a12.  a12 is always 0.0 here, for compatibility: direct_batch gives the arc\n"
     "length.",
     direct_kernel, Form::dict, direct_fields},
    {"orvik.geodesic", "wgs84_a", {}, "WGS84 equatorial radius in meters.", wgs84_a_kernel, Form::value,
     constant_field},
    {"orvik.geodesic", "wgs84_f", {}, "WGS84 flattening.", wgs84_f_kernel, Form::value, constant_field},
    {"orvik.geodesic", "inverse_batch", pair,
     "The inverse geodesic problem between broadcast pairs of points.\n\n"
     "Returns a dict of float64 arrays of the broadcast shape, keyed in the\n"
     "order of `outputs`: any of \"s12\" (distance, m), \"azi1\", \"azi2\" (azimuths\n"
     "at each end, degrees clockwise from north), \"a12\" (arc length on the\n"
     "auxiliary sphere, degrees), \"m12\" (reduced length, m), \"M12\", \"M21\"\n"
     "(geodesic scales) and \"S12\" (area between the geodesic and the equator,\n"
     "m^2).  Each value equals geodesic.inverse's field for the same pair, bit\n"
     "for bit.",
     inverse_kernel, Form::chosen, inverse_default, false},
    {"orvik.geodesic", "direct_batch", start,
     "The direct geodesic problem from broadcast start points, azimuths\n"
     "(degrees clockwise from north) and distances (m).\n\n"
     "Returns a dict of float64 arrays keyed in the order of `outputs`: any of\n"
     "\"lat2\", \"lon2\" (the end point; longitudes reduced to [-180, 180]),\n"
     "\"azi2\", \"a12\" (the arc length, degrees: unlike geodesic.direct's fixed\n"
     "0.0, the true value), \"m12\", \"M12\", \"M21\" and \"S12\".",
     direct_kernel, Form::chosen, direct_default, false},
#if ORVIK_HAVE_INTERSECT
    {"orvik.geodesic", "intersect", two_lines,
     "Where two geodesics cross: geodesic a from (lat_a, lon_a) along azimuth azi_a,\n"
     "geodesic b from (lat_b, lon_b) along azi_b (degrees; azimuths clockwise from\n"
     "north), both extended without end either way.  Of their crossings, the one\n"
     "nearest to both starts, the least |x| + |y|, by GeographicLib's\n"
     "Intersect.Closest.\n\n"
     "Returns a dict: x and y, the signed distances in metres from each start to\n"
     "the crossing along its geodesic (negative: behind the start); lat and lon,\n"
     "the crossing (degrees, longitude in [-180, 180]); coincident, 0.0, or 1.0\n"
     "(-1.0) where the geodesics lie on one another there, running the same\n"
     "(opposite) way, the crossing then being a point midway between the starts.\n"
     "NaN in gives NaN out.",
     closest_intersection_kernel, Form::dict, closest_intersection_fields},
    {"orvik.geodesic", "segment_intersect", two_segments,
     "Whether, and where, two geodesic segments cross: segment a, the shortest\n"
     "geodesic from (lat1a, lon1a) to (lat2a, lon2a), and segment b from\n"
     "(lat1b, lon1b) to (lat2b, lon2b), in degrees; by GeographicLib's\n"
     "Intersect.Segment.\n\n"
     "Returns a dict: x and y, the distances in metres from each segment's first\n"
     "point to the crossing along it; lat and lon of the crossing (degrees,\n"
     "longitude in [-180, 180]); coincident as for intersect; and intersects,\n"
     "True where the crossing lies within both segments, ends included.  Where\n"
     "they do not cross, x and y are those of the crossing of the extended\n"
     "geodesics nearest to the segments' midpoints.  Segments that share an end\n"
     "meet there, and crossings at an end that rounding puts a few nanometres\n"
     "outside still count.  NaN in gives NaN out, and intersects False.",
     segment_intersection_kernel, Form::dict, intersection_fields},
#endif
    {"orvik.geodesic", "distance_to_segment", point_and_segment,
     "The shortest geodesic distance from the points (lat, lon) to the geodesic\n"
     "segments from (lat1, lon1) to (lat2, lon2), in degrees: the cross-track\n"
     "distance where the closest point lies inside the segment, else the\n"
     "distance to the nearer end.\n\n"
     "Returns a dict: distance in metres; along, the distance in metres from\n"
     "(lat1, lon1) to the closest point, in [0, length of the segment]; lat and\n"
     "lon of the closest point (degrees, longitude in [-180, 180]); side, 1.0\n"
     "where the point lies left of the segment's direction of travel, -1.0 right,\n"
     "0.0 on it or on its extension (NaN for a segment of zero length, which has\n"
     "no direction, unless the point is on it).  Exact as GeographicLib's inverse\n"
     "problem is: the closest point is where the geodesic from the point meets\n"
     "the segment at a right angle, found by Newton's method, or an end.  NaN in\n"
     "gives NaN out.",
     distance_to_segment_kernel, Form::dict, closest_point_fields},
};

const auto entries = entries_of<rows>(std::make_index_sequence<std::size(rows)>());

}  // namespace

const FunctionTable geodesic_functions{rows, entries};

}  // namespace orvik::engine
