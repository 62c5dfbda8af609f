// The `ellipsoid=` argument of the package's geodesic functions.
#pragma once

#include <Python.h>

#include <memory>

#include "core/geodesic.hpp"

namespace orvik::engine {

// The solver for an `ellipsoid=` argument: None (WGS84), a name compared
// without regard to case ("WGS84", "GRS80", "WGS72"), or an (a, f) pair, the
// equatorial radius in metres and the flattening.  Solvers are cached.
// Throws ValueError (or TypeError for a value of the wrong kind) naming the
// parameter.
std::shared_ptr<const core::Geodesic> resolve_ellipsoid(PyObject* ellipsoid);

// The radius of a `radius=` argument: None gives the mean Earth radius.
// Throws ValueError naming the parameter unless it is finite and positive.
double resolve_radius(PyObject* radius);

}  // namespace orvik::engine
