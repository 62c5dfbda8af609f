// orvik.rhumb: rhumb lines (loxodromes), the courses of constant bearing,
// over numbers and arrays: the inverse and direct problems.  Built only where
// GeographicLib has Rhumb as this package needs it (2.3 or later).
#include <iterator>
#include <string_view>

#include "engine/function_tables.hpp"

#if ORVIK_HAVE_RHUMB

namespace orvik::engine {
namespace {

constexpr std::string_view pair[] = {"lat1", "lon1", "lat2", "lon2"};
constexpr std::string_view start[] = {"lat1", "lon1", "azi12", "s12"};

constexpr Field inverse_default[] = {{"s12", Source::column, 0}, {"azi12", Source::column, 1}, {"S12", Source::column, 2}};
constexpr Field direct_default[] = {{"lat2", Source::column, 0}, {"lon2", Source::column, 1}, {"S12", Source::column, 2}};

const Function rows[] = {
    {"orvik.rhumb", "inverse", pair,
     "The rhumb line (constant bearing) from (lat1, lon1) to (lat2, lon2), in degrees.\n\n"
     "Returns a dict keyed in the order of `outputs`: any of \"s12\" (its length,\n"
     "m), \"azi12\" (its constant bearing, degrees clockwise from north, in\n"
     "[-180, 180]) and \"S12\" (the area between the line and the equator, m^2,\n"
     "counter-clockwise positive).  The line goes the shorter way in longitude,\n"
     "across the antimeridian if that is shorter; with the longitudes exactly\n"
     "180 apart, the east-going one.  A line to or from a pole is the meridian\n"
     "of its other end: its bearing (0 or 180) and length do not depend on the\n"
     "pole's longitude, while S12 takes that longitude for the corner of the\n"
     "area at the pole, as GeographicLib does, so that rings through a pole\n"
     "close.  A NaN or infinite input, or a latitude beyond 90, gives NaN.",
     rhumb_inverse_kernel, Form::chosen, inverse_default},
    {"orvik.rhumb", "direct", start,
     "The point reached from (lat1, lon1) along the constant bearing azi12\n"
     "(degrees clockwise from north) after s12 metres (negative: backwards).\n\n"
     "Returns a dict keyed in the order of `outputs`: any of \"lat2\", \"lon2\"\n"
     "(degrees, the longitude reduced to [-180, 180]) and \"S12\" (the area\n"
     "between the line and the equator, m^2).  A line that is not a meridian\n"
     "spirals into a pole after a finite length; past it the longitude has no\n"
     "meaning, and lon2 and S12 are NaN, as GeographicLib gives them (lat2 is\n"
     "then that of the meridian continued over the pole).  So are they from a\n"
     "pole, where a bearing names no meridian.  A NaN or infinite input, or a\n"
     "latitude beyond 90, gives NaN.",
     rhumb_direct_kernel, Form::chosen, direct_default},
};

const auto entries = entries_of<rows>(std::make_index_sequence<std::size(rows)>());

}  // namespace

const FunctionTable rhumb_functions{rows, entries};

}  // namespace orvik::engine

#endif  // ORVIK_HAVE_RHUMB
