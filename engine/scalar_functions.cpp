// The package's functions of numbers: distance, geodesic and units.  Each is
// defined here once, with the package module as its __module__ so that
// pickle finds it; given array-likes, it hands the call to its array version.
#include "engine/scalar_functions.hpp"

#include <memory>
#include <string_view>

#include "core/geodesic.hpp"
#include "core/great_circle.hpp"
#include "core/units.hpp"
#include "interop/results.hpp"
#include "interop/geodesic_result_dict.hpp"
#include "engine/ellipsoid.hpp"
#include "engine/scalar_call.hpp"

namespace orvik::engine {
namespace {

using interop::FASTCALL;
using interop::fastcall;
using interop::FunctionRecord;
using interop::make_float;
using interop::make_float_tuple;

constexpr std::string_view pair_params[] = {"lat1", "lon1", "lat2", "lon2"};
constexpr std::string_view destination_params[] = {"lat1", "lon1", "bearing", "distance"};
constexpr std::string_view direct_params[] = {"lat1", "lon1", "azi1", "s12"};
constexpr std::string_view ellipsoid_option[] = {"ellipsoid"};
constexpr std::string_view radius_option[] = {"radius"};

// The solver of an `ellipsoid=` slot; WGS84's without a look-up when absent.
class Solver {
public:
    explicit Solver(PyObject* ellipsoid)
        : held_(ellipsoid == nullptr || ellipsoid == Py_None ? nullptr : resolve_ellipsoid(ellipsoid)),
          solver_(held_ ? *held_ : core::wgs84()) {}
    const core::Geodesic* operator->() const noexcept { return &solver_; }

private:
    std::shared_ptr<const core::Geodesic> held_;
    const core::Geodesic& solver_;
};

PyObject* basic_dict(const core::GeodesicResult& r) {
    return geodesic_result_dict(r, GeodesicFields::basic);
}

// --- distance ----------------------------------------------------------------

const ScalarFunction geodesic_distance_fn{{"geodesic_distance", pair_params, ellipsoid_option}};
PyObject* geodesic_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<4>(geodesic_distance_fn, args, nargs, kwnames, [](const auto& v, PyObject* e) {
        return make_float(Solver(e)->inverse(v[0], v[1], v[2], v[3]).s12);
    });
}

const ScalarFunction geodesic_destination_fn{{"geodesic_destination", destination_params, ellipsoid_option}};
PyObject* geodesic_destination(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<4>(geodesic_destination_fn, args, nargs, kwnames, [](const auto& v, PyObject* e) {
        const core::GeodesicResult r = Solver(e)->direct(v[0], v[1], v[2], v[3]);
        return make_float_tuple({r.lat2, r.lon2});
    });
}

const ScalarFunction great_circle_distance_fn{{"great_circle_distance", pair_params, radius_option}};
PyObject* great_circle_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<4>(great_circle_distance_fn, args, nargs, kwnames, [](const auto& v, PyObject* r) {
        return make_float(core::great_circle_distance(v[0], v[1], v[2], v[3], resolve_radius(r)));
    });
}

const ScalarFunction great_circle_destination_fn{{"great_circle_destination", destination_params, radius_option}};
PyObject* great_circle_destination(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<4>(great_circle_destination_fn, args, nargs, kwnames, [](const auto& v, PyObject* r) {
        const auto [lat2, lon2] = core::great_circle_destination(v[0], v[1], v[2], v[3], resolve_radius(r));
        return make_float_tuple({lat2, lon2});
    });
}

const ScalarFunction geodesic_inverse_fn{{"geodesic_inverse", pair_params, ellipsoid_option}};
PyObject* geodesic_inverse(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<4>(geodesic_inverse_fn, args, nargs, kwnames, [](const auto& v, PyObject* e) {
        return basic_dict(Solver(e)->inverse(v[0], v[1], v[2], v[3]));
    });
}

// --- geodesic ----------------------------------------------------------------

const ScalarFunction inverse_fn{{"inverse", pair_params, ellipsoid_option}};
PyObject* inverse(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<4>(inverse_fn, args, nargs, kwnames, [](const auto& v, PyObject* e) {
        return geodesic_result_dict(Solver(e)->inverse_full(v[0], v[1], v[2], v[3]), GeodesicFields::full);
    });
}

const ScalarFunction direct_fn{{"direct", direct_params, ellipsoid_option}};
PyObject* direct(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<4>(direct_fn, args, nargs, kwnames, [](const auto& v, PyObject* e) {
        return basic_dict(Solver(e)->direct(v[0], v[1], v[2], v[3]));
    });
}

PyObject* wgs84_a(PyObject*, PyObject*) {
    return interop::boundary_guard([] { return make_float(core::WGS84_A); },
                                   interop::runtime_error_report);
}

PyObject* wgs84_f(PyObject*, PyObject*) {
    return interop::boundary_guard([] { return make_float(core::WGS84_F); },
                                   interop::runtime_error_report);
}

// --- units -------------------------------------------------------------------

template <const ScalarFunction& Fn, double (*Op)(double) noexcept>
PyObject* unary(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<1>(Fn, args, nargs, kwnames,
                          [](const auto& v, PyObject*) { return make_float(Op(v[0])); });
}

#define ORVIK_UNIT(name, param)                                      \
    constexpr std::string_view name##_params[] = {#param};           \
    const ScalarFunction name##_fn{{#name, name##_params}};
ORVIK_UNIT(km_to_mi, km)
ORVIK_UNIT(mi_to_km, mi)
ORVIK_UNIT(km_to_nm, km)
ORVIK_UNIT(nm_to_km, nm)
ORVIK_UNIT(m_to_ft, m)
ORVIK_UNIT(ft_to_m, ft)
ORVIK_UNIT(m_to_km, m)
ORVIK_UNIT(km_to_m, km)
ORVIK_UNIT(deg_to_rad, d)
ORVIK_UNIT(rad_to_deg, r)
ORVIK_UNIT(deg_to_dms, dd)
#undef ORVIK_UNIT

constexpr std::string_view dms_to_deg_params[] = {"degrees", "arcminutes", "arcseconds"};
const ScalarFunction dms_to_deg_fn{{"dms_to_deg", dms_to_deg_params}};
PyObject* dms_to_deg(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<3>(dms_to_deg_fn, args, nargs, kwnames, [](const auto& v, PyObject*) {
        return make_float(core::units::dms_to_deg(v[0], v[1], v[2]));
    });
}

PyObject* deg_to_dms(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return scalar_call<1>(deg_to_dms_fn, args, nargs, kwnames, [](const auto& v, PyObject*) {
        const auto [whole, minutes, seconds] = core::units::deg_to_dms(v[0]);
        return make_float_tuple({whole, minutes, seconds});
    });
}

namespace u = core::units;

#define ELLIPSOID_DOC                                                                          \
    "The ellipsoid is WGS84 unless `ellipsoid` names another ('GRS80', 'WGS72') or gives an\n" \
    "(a, f) pair: the equatorial radius in metres and the flattening.\n"
#define ARRAYS_DOC                                                                              \
    "\nArguments may be array-likes: they broadcast by NumPy's rules and the result holds\n"   \
    "arrays (pandas Series for Series); numbers give floats."

const FunctionRecord distance_records[] = {
    {"geodesic_distance", fastcall(geodesic_distance), FASTCALL,
     "geodesic_distance(lat1, lon1, lat2, lon2, *, ellipsoid=None)\n--\n\n"
     "Geodesic (ellipsoidal) distance in metres between (lat1, lon1) and (lat2, lon2),\n"
     "in degrees.\n" ELLIPSOID_DOC ARRAYS_DOC},
    {"geodesic_destination", fastcall(geodesic_destination), FASTCALL,
     "geodesic_destination(lat1, lon1, bearing, distance, *, ellipsoid=None)\n--\n\n"
     "The point (lat2, lon2) reached from (lat1, lon1) along the geodesic that leaves it\n"
     "at `bearing` (degrees clockwise from north), after `distance` metres; lon2 is\n"
     "reduced to [-180, 180].\n" ELLIPSOID_DOC ARRAYS_DOC},
    {"great_circle_distance", fastcall(great_circle_distance), FASTCALL,
     "great_circle_distance(lat1, lon1, lat2, lon2, *, radius=6371008.8)\n--\n\n"
     "Great-circle (haversine) distance in metres on a sphere of `radius` metres (by\n"
     "default the mean Earth radius)." ARRAYS_DOC},
    {"great_circle_destination", fastcall(great_circle_destination), FASTCALL,
     "great_circle_destination(lat1, lon1, bearing, distance, *, radius=6371008.8)\n--\n\n"
     "The point (lat2, lon2) reached on a sphere of `radius` metres from (lat1, lon1)\n"
     "along `bearing` (degrees clockwise from north) after `distance` metres; lon2 is\n"
     "not wrapped." ARRAYS_DOC},
    {"geodesic_inverse", fastcall(geodesic_inverse), FASTCALL,
     "geodesic_inverse(lat1, lon1, lat2, lon2, *, ellipsoid=None)\n--\n\n"
     "The inverse geodesic problem: a dict of lat1, lon1, lat2, lon2, s12 (metres),\n"
     "azi1, azi2 (degrees) and a12 (arc length, degrees).\n" ELLIPSOID_DOC ARRAYS_DOC},
};

const FunctionRecord geodesic_records[] = {
    {"inverse", fastcall(inverse), FASTCALL,
     "inverse(lat1, lon1, lat2, lon2, *, ellipsoid=None)\n--\n\n"
     "The inverse geodesic problem with every output: a dict of lat1, lon1, lat2, lon2,\n"
     "s12 (m), azi1, azi2, a12 (deg), m12 (reduced length, m), M12, M21 (geodesic\n"
     "scales) and S12 (area between the geodesic and the equator, m^2).\n" ELLIPSOID_DOC ARRAYS_DOC},
    {"direct", fastcall(direct), FASTCALL,
     "direct(lat1, lon1, azi1, s12, *, ellipsoid=None)\n--\n\n"
     "The direct geodesic problem: a dict of lat1, lon1, lat2, lon2, s12, azi1, azi2\n"
     "and a12.  a12 is always 0.0 here, for compatibility: direct_batch gives the arc\n"
     "length.\n" ELLIPSOID_DOC ARRAYS_DOC},
    {"wgs84_a", wgs84_a, METH_NOARGS, "wgs84_a()\n--\n\nWGS84 equatorial radius in meters."},
    {"wgs84_f", wgs84_f, METH_NOARGS, "wgs84_f()\n--\n\nWGS84 flattening."},
};

#define UNIT_DOC(signature, what) signature "\n--\n\n" what ARRAYS_DOC
const FunctionRecord units_records[] = {
    {"km_to_mi", fastcall(unary<km_to_mi_fn, u::km_to_mi>), FASTCALL,
     UNIT_DOC("km_to_mi(km)", "Kilometres to statute miles.")},
    {"mi_to_km", fastcall(unary<mi_to_km_fn, u::mi_to_km>), FASTCALL,
     UNIT_DOC("mi_to_km(mi)", "Statute miles to kilometres.")},
    {"km_to_nm", fastcall(unary<km_to_nm_fn, u::km_to_nm>), FASTCALL,
     UNIT_DOC("km_to_nm(km)", "Kilometres to nautical miles.")},
    {"nm_to_km", fastcall(unary<nm_to_km_fn, u::nm_to_km>), FASTCALL,
     UNIT_DOC("nm_to_km(nm)", "Nautical miles to kilometres.")},
    {"m_to_ft", fastcall(unary<m_to_ft_fn, u::m_to_ft>), FASTCALL,
     UNIT_DOC("m_to_ft(m)", "Metres to international feet.")},
    {"ft_to_m", fastcall(unary<ft_to_m_fn, u::ft_to_m>), FASTCALL,
     UNIT_DOC("ft_to_m(ft)", "International feet to metres.")},
    {"m_to_km", fastcall(unary<m_to_km_fn, u::m_to_km>), FASTCALL,
     UNIT_DOC("m_to_km(m)", "Metres to kilometres.")},
    {"km_to_m", fastcall(unary<km_to_m_fn, u::km_to_m>), FASTCALL,
     UNIT_DOC("km_to_m(km)", "Kilometres to metres.")},
    {"deg_to_rad", fastcall(unary<deg_to_rad_fn, u::deg_to_rad>), FASTCALL,
     UNIT_DOC("deg_to_rad(d)", "Degrees to radians.")},
    {"rad_to_deg", fastcall(unary<rad_to_deg_fn, u::rad_to_deg>), FASTCALL,
     UNIT_DOC("rad_to_deg(r)", "Radians to degrees.")},
    {"dms_to_deg", fastcall(dms_to_deg), FASTCALL,
     UNIT_DOC("dms_to_deg(degrees, arcminutes, arcseconds)",
              "Degrees, minutes and seconds to decimal degrees; each part is added with\n"
              "its own sign.")},
    {"deg_to_dms", fastcall(deg_to_dms), FASTCALL,
     UNIT_DOC("deg_to_dms(dd)",
              "Decimal degrees to (degrees, minutes, seconds): whole degrees truncated\n"
              "towards zero carry the sign; minutes and seconds are never negative.")},
};

}  // namespace

const ScalarModule scalar_modules[] = {
    {"orvik.distance", distance_records},
    {"orvik.geodesic", geodesic_records},
    {"orvik.units", units_records},
};

}  // namespace orvik::engine
