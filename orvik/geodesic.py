"""The direct and inverse geodesic problems on the WGS84 ellipsoid, solved by
GeographicLib, and the ellipsoid's parameters."""

from orvik import _orvik
from orvik._native import publish as _publish

__all__ = _publish(_orvik.geodesic, globals())
