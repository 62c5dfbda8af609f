// orvik.units: each conversion is exactly one multiplication or division by
// its constant (core/units.hpp), over numbers and arrays.
#include <iterator>
#include <string_view>

#include "core/units.hpp"
#include "engine/function_tables.hpp"

namespace orvik::engine {
namespace {

namespace u = core::units;

constexpr std::string_view km[] = {"km"};
constexpr std::string_view mi[] = {"mi"};
constexpr std::string_view nm[] = {"nm"};
constexpr std::string_view m[] = {"m"};
constexpr std::string_view ft[] = {"ft"};
constexpr std::string_view d[] = {"d"};
constexpr std::string_view r[] = {"r"};
constexpr std::string_view dd[] = {"dd"};
constexpr std::string_view dms[] = {"degrees", "arcminutes", "arcseconds"};

constexpr Column in_km[] = {{"km", "km"}};
constexpr Column in_mi[] = {{"mi", "mi"}};
constexpr Column in_nm[] = {{"nm", "nm"}};
constexpr Column in_m[] = {{"m", "m"}};
constexpr Column in_ft[] = {{"ft", "ft"}};
constexpr Column in_rad[] = {{"rad", "rad"}};
constexpr Column in_deg[] = {{"deg", "deg"}};
constexpr Column dms_parts[] = {{"degrees", "deg"}, {"minutes", "arcmin"}, {"seconds", "arcsec"}};

constexpr Field value[] = {{"value", Source::column, 0}};
constexpr Field parts[] = {
    {"degrees", Source::column, 0}, {"minutes", Source::column, 1}, {"seconds", Source::column, 2}};

template <double (*Convert)(double) noexcept>
constexpr Kernel conversion(std::span<const Column> into) {
    return {convert<Convert>, 1, into, ModelKind::none, 1};
}

const Function rows[] = {
    {"orvik.units", "km_to_mi", km, "Kilometres to statute miles.", conversion<u::km_to_mi>(in_mi), Form::value, value},
    {"orvik.units", "mi_to_km", mi, "Statute miles to kilometres.", conversion<u::mi_to_km>(in_km), Form::value, value},
    {"orvik.units", "km_to_nm", km, "Kilometres to nautical miles.", conversion<u::km_to_nm>(in_nm), Form::value, value},
    {"orvik.units", "nm_to_km", nm, "Nautical miles to kilometres.", conversion<u::nm_to_km>(in_km), Form::value, value},
    {"orvik.units", "m_to_ft", m, "Metres to international feet.", conversion<u::m_to_ft>(in_ft), Form::value, value},
    {"orvik.units", "ft_to_m", ft, "International feet to metres.", conversion<u::ft_to_m>(in_m), Form::value, value},
    {"orvik.units", "m_to_km", m, "Metres to kilometres.", conversion<u::m_to_km>(in_km), Form::value, value},
    {"orvik.units", "km_to_m", km, "Kilometres to metres.", conversion<u::km_to_m>(in_m), Form::value, value},
    {"orvik.units", "deg_to_rad", d, "Degrees to radians.", conversion<u::deg_to_rad>(in_rad), Form::value, value},
    {"orvik.units", "rad_to_deg", r, "Radians to degrees.", conversion<u::rad_to_deg>(in_deg), Form::value, value},
    {"orvik.units", "dms_to_deg", dms,
     "Degrees, minutes and seconds to decimal degrees; each part is added with\n"
     "its own sign.",
     {engine::dms_to_deg, 3, in_deg, ModelKind::none, 1}, Form::value, value},
    {"orvik.units", "deg_to_dms", dd,
     "Decimal degrees to (degrees, minutes, seconds): whole degrees truncated\n"
     "towards zero carry the sign; minutes and seconds are never negative.",
     {engine::deg_to_dms, 1, dms_parts, ModelKind::none, 1}, Form::tuple, parts},
};

const auto entries = entries_of<rows>(std::make_index_sequence<std::size(rows)>());

}  // namespace

const FunctionTable units_functions{rows, entries};

}  // namespace orvik::engine
