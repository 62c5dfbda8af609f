"""Rhumb lines (loxodromes): courses of constant bearing on the ellipsoid
(WGS84 unless told otherwise), solved by GeographicLib's Rhumb, over numbers
and arrays: the inverse and direct problems and points along the lines.

A rhumb line crosses every meridian at the same angle; it is a straight line
on a Mercator chart, the course a ship or aircraft holds on one compass
heading.  Parallels and meridians are rhumb lines.  Angles are degrees
(bearings clockwise from north), lengths metres, areas square metres.  A line
between two points goes the shorter way in longitude; one that is not a
meridian spirals into a pole within a finite length.

Builds against a GeographicLib older than 2.3 have none of these functions.
"""

from orvik._tables import export

__all__ = export(globals())
