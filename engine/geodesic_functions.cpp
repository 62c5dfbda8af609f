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
};

const auto entries = entries_of<rows>(std::make_index_sequence<std::size(rows)>());

}  // namespace

const FunctionTable geodesic_functions{rows, entries};

}  // namespace orvik::engine
