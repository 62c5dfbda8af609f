// A geodesic result as the dict both modules return: the eight fields of
// the basic problem, in this order, then (for the full inverse) the reduced
// length, the geodesic scales and the area.
#pragma once

#include <Python.h>

#include <array>
#include <span>

#include "core/geodesic.hpp"
#include "interop/results.hpp"

namespace orvik {

enum class GeodesicFields { basic, full };

inline PyObject* geodesic_result_dict(const core::GeodesicResult& r, GeodesicFields fields) {
    static constexpr const char* names[] = {"lat1", "lon1", "lat2", "lon2", "s12", "azi1",
                                            "azi2", "a12",  "m12",  "M12",  "M21", "S12"};
    static const std::array<PyObject*, 12> keys = interop::interned(names);
    const double values[] = {r.lat1, r.lon1, r.lat2, r.lon2, r.s12, r.azi1,
                             r.azi2, r.a12,  r.m12,  r.M12,  r.M21, r.S12};
    const std::size_t count = fields == GeodesicFields::basic ? 8 : 12;
    return interop::make_float_dict(keys, std::span<const double>(values, count));
}

}  // namespace orvik
