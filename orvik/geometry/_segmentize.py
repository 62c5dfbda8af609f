"""segmentize() in two passes over every geometry of a call: the edges of all
of them are planned first, so that a call that would make too many points
is refused before any is made; then the points are made and the
geometries rebuilt from shapely's ragged arrays, type by type."""

from __future__ import annotations

from typing import Any

import numpy as np

from orvik.geometry import _compute, _parts


class TooManyPoints(ValueError):
    def __init__(self, total: int, limit: int) -> None:
        super().__init__(f"{total} points, more than {limit}")
        self.total = total
        self.limit = limit


class _Group:
    """Geometries of one type and dimension, as one ragged array whose
    innermost offsets delimit paths."""

    def __init__(self, shapely: Any, type_id: int, objects: Any, has_z: bool) -> None:
        self.shapely = shapely
        self.type_id = type_id
        self.width = 3 if has_z else 2
        if type_id == _parts.LINEARRING:
            # Not in shapely's ragged arrays: one path per ring.
            self.coords = shapely.get_coordinates(objects, include_z=has_z)
            sizes = shapely.get_num_coordinates(objects)
            self.outer: tuple[Any, ...] = ()
            self.kind = None
            self.offsets = np.zeros(len(objects) + 1, dtype=np.int64)
            np.cumsum(sizes, out=self.offsets[1:])
        else:
            self.kind, self.coords, levels = shapely.to_ragged_array(objects, include_z=has_z)
            self.offsets = np.asarray(levels[0], dtype=np.int64)
            self.outer = tuple(levels[1:])
        self.count = len(objects)
        self.plans: _compute.EdgePlans | None = None

    def plan(self, step: float, ellipsoid: Any, cap: int) -> int:
        x, y = self.coords[:, 0], self.coords[:, 1]
        self.plans = _compute.plan_edges(y, x, self.offsets, step, ellipsoid, cap=cap)
        return self.plans.points

    def build(self, ellipsoid: Any) -> Any:
        assert self.plans is not None
        x, y = self.coords[:, 0], self.coords[:, 1]
        coords, offsets, positions = _compute.densify(y, x, self.offsets, self.plans, ellipsoid)
        if self.width == 3:
            coords = np.column_stack([coords, np.empty(len(coords))])
            _interpolate_z(coords, self.coords[:, 2], self.plans.pieces, positions)
        if self.type_id == _parts.LINEARRING:
            owner = np.repeat(np.arange(self.count), np.diff(offsets))
            return self.shapely.linearrings(coords, indices=owner)
        return self.shapely.from_ragged_array(self.kind, coords, (offsets, *self.outer))


def _interpolate_z(coords: Any, z: Any, pieces: Any, positions: Any) -> None:
    """z of the inserted points: linear along each edge, by distance."""
    coords[positions, 2] = z
    cut = np.flatnonzero(pieces > 1)
    if not len(cut):
        return
    inserted = pieces[cut] - 1
    edge = np.repeat(cut, inserted)
    # k = 1, ..., pieces - 1 within each edge.
    starts = np.zeros(len(cut), dtype=np.int64)
    np.cumsum(inserted[:-1], out=starts[1:])
    k = np.arange(len(edge), dtype=np.int64) - np.repeat(starts, inserted) + 1
    fraction = k / pieces[edge]
    coords[positions[edge] + k, 2] = z[edge] + (z[edge + 1] - z[edge]) * fraction


class Plan:
    """The segmentizing of a one-dimensional object array of geometries."""

    def __init__(self, shapely: Any, objects: Any, step: float, ellipsoid: Any, limit: int, used: int = 0) -> None:
        self.shapely = shapely
        self.objects = objects
        self.ellipsoid = ellipsoid
        types = shapely.get_type_id(objects)
        has_z = shapely.has_z(objects)
        self.groups: list[tuple[Any, _Group]] = []
        self.points = used
        for type_id in (_parts.LINESTRING, _parts.LINEARRING, _parts.POLYGON, _parts.MULTILINESTRING, _parts.MULTIPOLYGON):
            for z in (False, True):
                chosen = np.flatnonzero((types == type_id) & (has_z == z))
                if not len(chosen):
                    continue
                group = _Group(shapely, type_id, objects[chosen], z)
                self.points += group.plan(step, ellipsoid, limit + 1)
                if self.points > limit:
                    raise TooManyPoints(self.points, limit)
                self.groups.append((chosen, group))
        # Collections: their members, planned in turn.
        self.collections = np.flatnonzero(types == _parts.COLLECTION)
        self.members: Plan | None = None
        if len(self.collections):
            members, self.member_of = shapely.get_parts(objects[self.collections], return_index=True)
            self.members = Plan(shapely, members, step, ellipsoid, limit, self.points)
            self.points = self.members.points
        # A geometry with a coordinate that is not a point has no geodesics.
        coords, owner = shapely.get_coordinates(objects, return_index=True)
        wrong = ~(np.abs(coords[:, 1]) <= 90) | ~np.isfinite(coords[:, 0])
        self.bad = np.zeros(len(objects), dtype=bool)
        self.bad[owner[wrong]] = True

    def build(self) -> Any:
        result = self.objects.copy()
        for chosen, group in self.groups:
            result[chosen] = group.build(self.ellipsoid)
        if self.members is not None:
            members = self.members.build()
            present, owner = np.unique(self.member_of, return_inverse=True)
            result[self.collections[present]] = self.shapely.geometrycollections(members, indices=owner)
        result[self.bad] = None
        return result
