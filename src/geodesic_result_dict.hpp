// A geodesic result as the dict both modules return: the eight fields of
// the basic problem, in this order, then (for the full inverse) the reduced
// length, the geodesic scales and the area.
#pragma once

#include <Python.h>

#include "core/geodesic.hpp"
#include "interop/results.hpp"

namespace orvik {

enum class GeodesicFields { basic, full };

inline PyObject* geodesic_result_dict(const core::GeodesicResult& r, GeodesicFields fields) {
    if (fields == GeodesicFields::basic) {
        return interop::make_float_dict({{"lat1", r.lat1}, {"lon1", r.lon1}, {"lat2", r.lat2},
                                         {"lon2", r.lon2}, {"s12", r.s12}, {"azi1", r.azi1},
                                         {"azi2", r.azi2}, {"a12", r.a12}});
    }
    return interop::make_float_dict({{"lat1", r.lat1}, {"lon1", r.lon1}, {"lat2", r.lat2},
                                     {"lon2", r.lon2}, {"s12", r.s12}, {"azi1", r.azi1},
                                     {"azi2", r.azi2}, {"a12", r.a12}, {"m12", r.m12},
                                     {"M12", r.M12}, {"M21", r.M21}, {"S12", r.S12}});
}

}  // namespace orvik
