// The units submodule: small pure conversions, one operation each.
#include <string_view>

#include "core/units.hpp"
#include "compat/function_entry.hpp"
#include "interop/results.hpp"
#include "compat/module_layout.hpp"
#include "compat/submodules.hpp"

namespace orvik::compat::py_units {
namespace {

using interop::FASTCALL;
using interop::fastcall;
using interop::FunctionDescription;
namespace u = core::units;

template <std::string_view const& Name, std::string_view const& Param, double (*Op)(double) noexcept>
struct Unary {
    static constexpr std::string_view params[] = {Param};
    static constexpr FunctionDescription desc{Name, params};
    static PyObject* entry(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
        return call_with_doubles<1>(desc, args, nargs, kwnames, [](const auto& v) {
            return interop::make_float(Op(v[0]));
        });
    }
};

#define ORVIK_UNARY(name, param)                      \
    constexpr std::string_view name##_name = #name;   \
    constexpr std::string_view name##_param = #param; \
    using name##_fn = Unary<name##_name, name##_param, u::name>;
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
    return call_with_doubles<3>(dms_to_deg_desc, args, nargs, kwnames, [](const auto& v) {
        return interop::make_float(u::dms_to_deg(v[0], v[1], v[2]));
    });
}

constexpr std::string_view deg_to_dms_params[] = {"dd"};
constexpr FunctionDescription deg_to_dms_desc{"deg_to_dms", deg_to_dms_params};

PyObject* deg_to_dms(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return call_with_doubles<1>(deg_to_dms_desc, args, nargs, kwnames, [](const auto& v) {
        const auto [whole, minutes, seconds] = u::deg_to_dms(v[0]);
        return interop::make_float_tuple({whole, minutes, seconds});
    });
}

// Every description is empty: the docstring is the signature alone.
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

void register_submodule(PyObject* submodule) { register_functions(submodule, records); }

}  // namespace orvik::compat::py_units
