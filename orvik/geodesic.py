"""The direct and inverse geodesic problems on an ellipsoid (WGS84 unless
told otherwise), solved by GeographicLib, over numbers and over arrays with
the outputs the caller chooses; points along geodesics, lengths of tracks and
areas of rings; and the WGS84 ellipsoid's parameters."""

from orvik._tables import export

__all__ = export(globals())
