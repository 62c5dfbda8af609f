"""Geometries taken apart into what the kernels measure: the rings of
polygons and the polylines of lines, as coordinate columns with int64
offsets and the geometry each belongs to.

Everything is read through shapely's vectorised accessors or Arrow's
offset and coordinate buffers; nothing walks vertices in Python.  Shapely
clones the parts it hands out, so parts are asked for only where a
geometry has more than one: a polygon without holes (most of them) is read
as its coordinates and their count.
"""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import Any

import numpy as np

# shapely's type ids.
POINT, LINESTRING, LINEARRING, POLYGON, MULTIPOINT, MULTILINESTRING, MULTIPOLYGON, COLLECTION = range(8)


@dataclass
class Paths:
    """Rings or polylines: x (longitude) and y (latitude) columns, path i
    being elements offsets[i]:offsets[i + 1], owned by geometry owner[i];
    for rings, whether each is a hole."""

    x: Any
    y: Any
    offsets: Any
    owner: Any
    hole: Any = None
    always_closed: bool = False  # shapely's rings are, Arrow's need not be

    def closed(self) -> Any:
        """Whether each path ends on its first vertex (bit for bit); empty
        paths count as closed."""
        first, last = self.offsets[:-1], self.offsets[1:] - 1
        present = last >= first
        first, last = first[present], last[present]
        closed = np.ones(len(self.owner), dtype=bool)
        closed[present] = (self.x[first] == self.x[last]) & (self.y[first] == self.y[last])
        return closed

    def without_closing_vertex(self) -> Paths:
        """The rings without their repeated first vertex, which as an edge of
        length 0 would cost the kernels as much as any other edge."""
        sizes = np.diff(self.offsets)
        drop = (sizes > 1) if self.always_closed else self.closed() & (sizes > 1)
        if not drop.any():
            return self
        keep = np.ones(len(self.x), dtype=bool)
        keep[self.offsets[1:][drop] - 1] = False
        dropped = np.zeros(len(self.offsets), dtype=np.int64)
        np.cumsum(drop, out=dropped[1:])
        return Paths(self.x[keep], self.y[keep], self.offsets - dropped, self.owner, self.hole, False)


@dataclass
class Parts:
    """What n geometries consist of: their rings and polylines, which of
    them are missing (None, null), and which have a coordinate that is not
    a longitude/latitude point (NaN, infinite, |latitude| > 90)."""

    n: int
    missing: Any
    bad: Any
    rings: list[Paths] = field(default_factory=list)
    lines: list[Paths] = field(default_factory=list)

    def mark_bad(self, x: Any, y: Any, owner_of: Any) -> None:
        """Marks the geometries of coordinates that are not points;
        `owner_of(indices)` gives the geometries of coordinate indices."""
        wrong = ~(np.abs(y) <= 90) | ~np.isfinite(x)
        if wrong.any():
            self.bad[owner_of(np.flatnonzero(wrong))] = True

    def add_paths(self, paths: Paths, rings: bool) -> None:
        (self.rings if rings else self.lines).append(paths)
        if not rings:
            # Lines have no area to compute, so nothing else looks at them;
            # the ring kernel gives NaN for a ring with a vertex that is not
            # a point.
            starts = paths.offsets[1:]
            self.mark_bad(paths.x, paths.y, lambda i: paths.owner[np.searchsorted(starts, i, side="right")])


# --- shapely ------------------------------------------------------------------------


def from_shapely(shapely: Any, geoms: Any, types: Any = None) -> Parts:
    """The parts of a one-dimensional object array of shapely geometries
    (or None), whose type ids may be given."""
    n = len(geoms)
    types = shapely.get_type_id(geoms) if types is None else types
    parts = Parts(n, types < 0, np.zeros(n, dtype=bool))
    groups: dict[str, list[tuple[Any, Any]]] = {"polygons": [], "lines": [], "points": []}
    pending = [(geoms, np.arange(n, dtype=np.int64), types)]
    while pending:
        g, owner, t = pending.pop()
        for wanted, group, multi in (
            ((POLYGON,), "polygons", MULTIPOLYGON),
            ((LINESTRING, LINEARRING), "lines", MULTILINESTRING),
            ((POINT, MULTIPOINT), "points", None),
        ):
            single = np.isin(t, wanted)
            if single.any():
                groups[group].append((g[single], owner[single]))
            if multi is not None and (t == multi).any():
                members, at = shapely.get_parts(g[t == multi], return_index=True)
                groups[group].append((members, owner[t == multi][at]))
        if (t == COLLECTION).any():
            members, at = shapely.get_parts(g[t == COLLECTION], return_index=True)
            pending.append((members, owner[t == COLLECTION][at], shapely.get_type_id(members)))
    for kind, found in groups.items():
        if not found:
            continue
        g = np.concatenate([f[0] for f in found])
        owner = np.concatenate([f[1] for f in found])
        if kind == "polygons":
            parts.add_paths(_polygon_rings(shapely, g, owner), rings=True)
        elif kind == "lines":
            coords = shapely.get_coordinates(g)
            parts.add_paths(Paths(coords[:, 0], coords[:, 1], _offsets(shapely.get_num_coordinates(g)), owner), False)
        else:
            coords, at = shapely.get_coordinates(g, return_index=True)
            parts.mark_bad(coords[:, 0], coords[:, 1], lambda i, owner=owner, at=at: owner[at[i]])
    return parts


def _offsets(sizes: Any) -> Any:
    offsets = np.zeros(len(sizes) + 1, dtype=np.int64)
    np.cumsum(sizes, out=offsets[1:])
    return offsets


def _polygon_rings(shapely: Any, polygons: Any, owner: Any) -> Paths:
    """The rings of polygons, exterior first then the holes, in the order
    of shapely's coordinates."""
    holes = shapely.get_num_interior_rings(polygons)
    counts = shapely.get_num_coordinates(polygons)
    coords = shapely.get_coordinates(polygons)
    rings_each = 1 + holes
    first_ring = np.zeros(len(polygons), dtype=np.int64)
    np.cumsum(rings_each[:-1], out=first_ring[1:])
    sizes = np.empty(int(rings_each.sum()), dtype=np.int64)
    plain = holes == 0
    sizes[first_ring[plain]] = counts[plain]
    if not plain.all():
        # Only polygons with holes are taken apart (shapely copies each ring).
        sizes[np.repeat(~plain, rings_each)] = shapely.get_num_coordinates(shapely.get_rings(polygons[~plain]))
    hole = np.ones(len(sizes), dtype=bool)
    hole[first_ring] = False
    return Paths(coords[:, 0], coords[:, 1], _offsets(sizes), np.repeat(owner, rings_each), hole, True)


# --- Arrow -----------------------------------------------------------------------

# GeoArrow's native encodings and how deep their lists nest.
NATIVE_DEPTH = {
    "geoarrow.point": 0,
    "geoarrow.linestring": 1,
    "geoarrow.multipoint": 1,
    "geoarrow.polygon": 2,
    "geoarrow.multilinestring": 2,
    "geoarrow.multipolygon": 3,
}


def arrow_levels(storage: Any, depth: int) -> tuple[list[Any], Any]:
    """The offsets of each list level of a GeoArrow array, outermost first,
    each rebased to run from 0 over the used part of its child; and the
    coordinates of the used part, as an (n, dims) float64 array or columns
    x, y (any further dimension dropped)."""
    import pyarrow as pa

    levels = []
    array = storage
    for _ in range(depth):
        if not pa.types.is_list(array.type) and not pa.types.is_large_list(array.type):
            raise TypeError(f"a GeoArrow list level was expected, not {array.type}")
        offsets = np.asarray(array.offsets, dtype=np.int64)
        levels.append(offsets - offsets[0])
        array = array.values.slice(int(offsets[0]), int(offsets[-1] - offsets[0]))
    if pa.types.is_fixed_size_list(array.type):
        width = array.type.list_size
        values = array.flatten().to_numpy(zero_copy_only=False)
        coords = values.reshape(-1, width)
        return levels, (coords[:, 0], coords[:, 1])
    if pa.types.is_struct(array.type):
        names = [array.type.field(i).name for i in range(array.type.num_fields)]
        columns = dict(zip(names, array.flatten(), strict=True))
        if "x" not in columns or "y" not in columns:
            raise TypeError(f"GeoArrow coordinates need fields x and y, not {names}")
        return levels, tuple(np.asarray(columns[k].to_numpy(zero_copy_only=False), dtype=np.float64) for k in "xy")
    raise TypeError(f"GeoArrow coordinates must be a fixed-size list or a struct, not {array.type}")


def from_arrow(name: str, storage: Any) -> Parts:
    """The parts of a GeoArrow native array (its extension name and storage)."""
    n = len(storage)
    missing = np.asarray(storage.is_null().to_numpy(zero_copy_only=False), dtype=bool)
    parts = Parts(n, missing, np.zeros(n, dtype=bool))
    levels, (x, y) = arrow_levels(storage, NATIVE_DEPTH[name])
    geometry = np.arange(n, dtype=np.int64)

    def owners(offsets: Any, upper: Any) -> Any:
        return np.repeat(upper, np.diff(offsets))

    if name == "geoarrow.point":
        parts.mark_bad(x, y, lambda i: i)
    elif name == "geoarrow.multipoint":
        parts.mark_bad(x, y, lambda i: np.searchsorted(levels[0][1:], i, side="right"))
    elif name == "geoarrow.linestring":
        parts.add_paths(Paths(x, y, levels[0], geometry), rings=False)
    elif name == "geoarrow.multilinestring":
        parts.add_paths(Paths(x, y, levels[1], owners(levels[0], geometry)), rings=False)
    elif name == "geoarrow.polygon":
        ring_owner = owners(levels[0], geometry)
        hole = np.arange(len(ring_owner)) != levels[0][ring_owner]
        parts.add_paths(Paths(x, y, levels[1], ring_owner, hole), rings=True)
    else:  # multipolygon
        polygon_owner = owners(levels[0], geometry)
        ring_polygon = owners(levels[1], np.arange(len(polygon_owner), dtype=np.int64))
        hole = np.arange(len(ring_polygon)) != levels[1][ring_polygon]
        parts.add_paths(Paths(x, y, levels[2], polygon_owner[ring_polygon], hole), rings=True)
    return parts
