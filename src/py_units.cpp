// The units submodule: small pure conversions, one operation each.
#include <cmath>
#include <string_view>

#include "core/constants.hpp"
#include "interop/function_entry.hpp"
#include "interop/results.hpp"
#include "src/module_layout.hpp"
#include "src/submodules.hpp"

namespace orvik::py_units {
namespace {

using interop::FunctionDescription;

constexpr double FOOT_M = 0.3048;
constexpr double STATUTE_MILE_KM = 1.609344;
constexpr double NAUTICAL_MILE_KM = 1.852;
constexpr double KILO = 1000.0;
constexpr double MINUTES = 60.0;
constexpr double SECONDS = 3600.0;

// Each conversion is exactly one division or multiplication by its constant:
// a reciprocal constant would change the last bit of some results.
double km_to_mi(double x) { return x / STATUTE_MILE_KM; }
double mi_to_km(double x) { return x * STATUTE_MILE_KM; }
double km_to_nm(double x) { return x / NAUTICAL_MILE_KM; }
double nm_to_km(double x) { return x * NAUTICAL_MILE_KM; }
double m_to_ft(double x) { return x / FOOT_M; }
double ft_to_m(double x) { return x * FOOT_M; }
double m_to_km(double x) { return x / KILO; }
double km_to_m(double x) { return x * KILO; }
double deg_to_rad(double x) { return x * core::DEG_TO_RAD; }
double rad_to_deg(double x) { return x * core::RAD_TO_DEG; }

template <std::string_view const& Name, std::string_view const& Param, double (*Op)(double)>
struct Unary {
    static constexpr std::string_view params[] = {Param};
    static constexpr FunctionDescription desc{Name, params};
    static PyObject* entry(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
        return interop::call_with_doubles<1>(desc, args, nargs, kwnames, [](const auto& v) {
            return interop::make_float(Op(v[0]));
        });
    }
};

#define ORVIK_UNARY(name, param)                                   \
    constexpr std::string_view name##_name = #name;                \
    constexpr std::string_view name##_param = #param;              \
    using name##_fn = Unary<name##_name, name##_param, name>;
ORVIK_UNARY(km_to_mi, km)
ORVIK_UNARY(mi_to_km, mi)
ORVIK_UNARY(km_to_nm, km)
ORVIK_UNARY(nm_to_km, nm)
ORVIK_UNARY(m_to_ft, m)
ORVIK_UNARY(ft_to_m, ft)
ORVIK_UNARY(m_to_km, m)
ORVIK_UNARY(km_to_m, km)
ORVIK_UNARY(deg_to_rad, d)
ORVIK_UNARY(rad_to_deg, r)
#undef ORVIK_UNARY

constexpr std::string_view dms_params[] = {"degrees", "arcminutes", "arcseconds"};
constexpr FunctionDescription dms_to_deg_desc{"dms_to_deg", dms_params};

PyObject* dms_to_deg(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::call_with_doubles<3>(dms_to_deg_desc, args, nargs, kwnames, [](const auto& v) {
        const double q1 = v[1] / MINUTES;
        const double q2 = v[2] / SECONDS;
        const double s = v[0] + q1;
        return interop::make_float(s + q2);
    });
}

constexpr std::string_view deg_to_dms_params[] = {"dd"};
constexpr FunctionDescription deg_to_dms_desc{"deg_to_dms", deg_to_dms_params};

PyObject* deg_to_dms(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return interop::call_with_doubles<1>(deg_to_dms_desc, args, nargs, kwnames, [](const auto& v) {
        const double dd = v[0];
        const double whole = std::trunc(dd);
        const double t = std::fabs(dd - whole) * MINUTES;
        const double minutes = std::trunc(t);
        const double seconds = (t - minutes) * MINUTES;
        return interop::make_float_tuple({whole, minutes, seconds});
    });
}


const FunctionRecord records[] = {
    {"km_to_mi", fastcall(km_to_mi_fn::entry), FASTCALL, "km_to_mi(km)\n--\n\n"},
    {"mi_to_km", fastcall(mi_to_km_fn::entry), FASTCALL, "mi_to_km(mi)\n--\n\n"},
    {"km_to_nm", fastcall(km_to_nm_fn::entry), FASTCALL, "km_to_nm(km)\n--\n\n"},
    {"nm_to_km", fastcall(nm_to_km_fn::entry), FASTCALL, "nm_to_km(nm)\n--\n\n"},
    {"m_to_ft", fastcall(m_to_ft_fn::entry), FASTCALL, "m_to_ft(m)\n--\n\n"},
    {"ft_to_m", fastcall(ft_to_m_fn::entry), FASTCALL, "ft_to_m(ft)\n--\n\n"},
    {"m_to_km", fastcall(m_to_km_fn::entry), FASTCALL, "m_to_km(m)\n--\n\n"},
    {"km_to_m", fastcall(km_to_m_fn::entry), FASTCALL, "km_to_m(km)\n--\n\n"},
    {"deg_to_rad", fastcall(deg_to_rad_fn::entry), FASTCALL, "deg_to_rad(d)\n--\n\n"},
    {"rad_to_deg", fastcall(rad_to_deg_fn::entry), FASTCALL, "rad_to_deg(r)\n--\n\n"},
    {"dms_to_deg", fastcall(dms_to_deg), FASTCALL,
     "dms_to_deg(degrees, arcminutes, arcseconds)\n--\n\n"},
    {"deg_to_dms", fastcall(deg_to_dms), FASTCALL, "deg_to_dms(dd)\n--\n\n"},
};

}  // namespace

interop::Status register_submodule(PyObject* submodule) {
    return register_functions(submodule, records);
}

}  // namespace orvik::py_units
