// The `ellipsoid=` argument of the package's geodesic functions.
#pragma once

#include <Python.h>

#include <memory>
#include <string_view>

#include "core/geodesic.hpp"
#include "core/rhumb.hpp"

namespace orvik::engine {

// The solver for the `ellipsoid=` argument of `function`: None or absent
// (null) for WGS84, a name compared without regard to case ("WGS84",
// "GRS80", "WGS72"), or an (a, f) pair, the equatorial radius in metres and
// the flattening, within [-0.02, 0.02] (where GeographicLib's solver is
// accurate).  Solvers are cached.  Throws ValueError (or TypeError for a
// value of the wrong kind) naming the parameter and showing the value.
std::shared_ptr<const core::Geodesic> resolve_ellipsoid(std::string_view function, PyObject* ellipsoid);

#if ORVIK_HAVE_RHUMB
// The rhumb-line solver of the `ellipsoid=` argument of `function` (as
// above), with exact or series auxiliary latitudes; exact ones also take
// flattenings up to a half in size, where they stay accurate.  Cached by
// (a, f, exact), as constructing one is not free (an exact one fits its
// area series anew).
std::shared_ptr<const core::Rhumb> resolve_rhumb(std::string_view function, PyObject* ellipsoid, bool exact);
#endif

// The radius of the `radius=` argument of `function` (absent: null): the
// mean Earth radius by default.  Throws ValueError naming the parameter
// unless it is a finite positive number.
double resolve_radius(std::string_view function, PyObject* radius);

}  // namespace orvik::engine
