"""What orvik.geometry's functions accept, and what they give back.

One shapely geometry gives a number (or a geometry); an array or sequence
of them gives a NumPy array of its shape; a pandas Series (a GeoSeries)
gives a Series (a GeoSeries) on its index; a pyarrow array of GeoArrow
geometries gives a NumPy array.  A GeoSeries' CRS, or a GeoArrow array's,
must be geographic, and supplies its ellipsoid.
"""

from __future__ import annotations

import json
import math
import sys
from dataclasses import dataclass
from typing import Any

import numpy as np

from orvik.geometry import _compute, _parts


def load_shapely(function: str) -> Any:
    try:
        import shapely
    except ImportError as error:
        raise ModuleNotFoundError(
            f"orvik.geometry.{function}() needs shapely 2: pip install 'orvik[geometry]'", name="shapely"
        ) from error
    if not hasattr(shapely, "to_ragged_array"):
        raise ModuleNotFoundError(
            f"orvik.geometry.{function}() needs shapely 2 or later, not {shapely.__version__}: "
            "pip install 'orvik[geometry]'",
            name="shapely",
        )
    return shapely


def _module(name: str) -> Any:
    """A module the caller's object could come from, if it is loaded: the
    object cannot be one of its types otherwise."""
    return sys.modules.get(name)


@dataclass
class Geometries:
    """The geometries of one call, and how to give results back."""

    function: str
    shape: tuple[int, ...] | None  # None: one geometry
    ellipsoid: Any  # as given; read() leaves it an (a, f) pair
    objects: Any = None  # one-dimensional object array of shapely geometries (or None)
    arrow: tuple[str, Any] | None = None  # a GeoArrow native array: (extension name, storage)
    index: Any = None  # the Series' index, for a Series
    crs: Any = None
    geo: bool = False  # a GeoSeries (constructions give a GeoSeries)
    types: Any = None  # shapely's type ids of `objects`, once known
    ellipsoid_area: float = 0.0  # m^2

    @property
    def size(self) -> int:
        return len(self.arrow[1]) if self.arrow is not None else len(self.objects)

    def parts(self) -> _parts.Parts:
        if self.arrow is not None:
            return _parts.from_arrow(*self.arrow)
        return _parts.from_shapely(load_shapely(self.function), self.objects, self.types)

    def shapely_objects(self) -> Any:
        """The geometries as shapely objects, converting native Arrow."""
        if self.arrow is not None:
            self.objects = _arrow_to_shapely(load_shapely(self.function), *self.arrow)
            self.arrow = None
        return self.objects

    def numbers(self, values: Any) -> Any:
        """Measures, one per geometry, as the caller's kind of result."""
        if self.shape is None:
            return float(values[0])
        if self.index is not None:
            import pandas as pd

            return pd.Series(values, index=self.index)
        return values.reshape(self.shape)

    def geometries(self, values: Any) -> Any:
        """Geometries (an object array, None where missing) as the
        caller's kind of result."""
        if self.shape is None:
            return values.reshape(-1)[0]
        if self.index is not None:
            if self.geo:
                import geopandas

                return geopandas.GeoSeries(values, index=self.index, crs=self.crs)
            import pandas as pd

            return pd.Series(values, index=self.index, dtype=object)
        return values.reshape(self.shape)


def read(geoms: Any, function: str, ellipsoid: Any, edges: str = "geodesic") -> Geometries:
    """The geometries of `geoms`, with the ellipsoid to use as (a, f):
    `ellipsoid` if given, else the one of their CRS (None: WGS84), checked
    (with the kind of `edges`) even when there is nothing to measure."""
    found = _read(geoms, function, ellipsoid)
    a, f, found.ellipsoid_area = _compute.ellipsoid(function, found.ellipsoid, edges=edges)
    found.ellipsoid = (a, f)
    return found


def _read(geoms: Any, function: str, ellipsoid: Any) -> Geometries:
    geopandas = _module("geopandas")
    if geopandas is not None and isinstance(geoms, geopandas.GeoDataFrame):
        geoms = geoms.geometry
    if geopandas is not None and isinstance(geoms, geopandas.GeoSeries):
        found = _crs_ellipsoid(geoms.crs, function)
        objects = np.asarray(geoms.values, dtype=object)
        return Geometries(function, (len(objects),), _either(ellipsoid, found), objects, index=geoms.index,
                          crs=geoms.crs, geo=True)  # fmt: skip
    pandas = _module("pandas")
    if pandas is not None and isinstance(geoms, pandas.Series):
        objects, types = _objects(function, geoms.to_numpy(dtype=object), pandas.isna)
        return Geometries(function, (len(objects),), ellipsoid, objects, index=geoms.index, types=types)
    arrow = _arrow(geoms, function)
    if arrow is not None:
        name, storage, crs = arrow
        found = _crs_ellipsoid(crs, function) if crs is not None else None
        result = Geometries(function, (len(storage),), _either(ellipsoid, found))
        if name in _parts.NATIVE_DEPTH:
            result.arrow = (name, storage)
        else:
            result.objects = _serialized_to_shapely(load_shapely(function), name, storage)
        return result
    shapely = load_shapely(function)
    if geoms is None or isinstance(geoms, shapely.Geometry):
        return Geometries(function, None, ellipsoid, np.array([geoms], dtype=object))
    if isinstance(geoms, (str, bytes)) or not isinstance(geoms, (list, tuple, np.ndarray)):
        raise TypeError(
            f"{function}() argument 'geoms' must be a shapely geometry, an array or sequence of them, "
            f"a GeoSeries or a pyarrow array of GeoArrow geometries, not {type(geoms).__name__}"
        )
    try:
        array = np.empty(np.shape(geoms), dtype=object)
        array[...] = geoms
    except ValueError:
        raise TypeError(f"{function}() argument 'geoms' is a ragged nest of sequences, not an array of geometries") from None
    objects, types = _objects(function, array.reshape(-1), None)
    return Geometries(function, array.shape, ellipsoid, objects, types=types)


def _either(given: Any, found: Any) -> Any:
    return given if given is not None else found


def _objects(function: str, values: Any, isna: Any) -> tuple[Any, Any]:
    """A one-dimensional object array of shapely geometries or None, and
    their type ids; missing values of pandas (NaN, NA) become None;
    anything else is refused."""
    shapely = load_shapely(function)
    try:
        return values, shapely.get_type_id(values)
    except (TypeError, shapely.errors.GEOSException):
        pass
    values = values.copy()
    for i, value in enumerate(values):
        if value is None or isinstance(value, shapely.Geometry):
            continue
        if isna is not None and isna(value) or isinstance(value, float) and math.isnan(value):
            values[i] = None
            continue
        raise TypeError(
            f"{function}() argument 'geoms' must hold shapely geometries, but element {i} is {value!r}"
        )
    return values, shapely.get_type_id(values)


# --- CRS -------------------------------------------------------------------------


def _crs_ellipsoid(crs: Any, function: str) -> Any:
    """The (a, f) pair of a geographic CRS in degrees; None without a CRS;
    ValueError for any other CRS."""
    if crs is None:
        return None
    if not crs.is_geographic:
        raise ValueError(
            f"{function}(): the geometries' CRS is not geographic ({crs.name}, "
            f"{crs.to_string()}): orvik.geometry works on longitude/latitude degrees; "
            "reproject with .to_crs(4326) first"
        )
    units = {axis.unit_name for axis in crs.axis_info[:2]}
    if units != {"degree"}:
        raise ValueError(
            f"{function}(): the geometries' CRS ({crs.name}) measures angles in {', '.join(sorted(units))}, "
            "not degrees; reproject with .to_crs(4326) first"
        )
    ellipsoid = crs.ellipsoid
    a = float(ellipsoid.semi_major_metre)
    inverse = float(ellipsoid.inverse_flattening)
    if inverse > 0 and math.isfinite(inverse):
        return (a, 1.0 / inverse)
    return (a, (a - float(ellipsoid.semi_minor_metre)) / a)


# --- Arrow -----------------------------------------------------------------------


def _arrow(geoms: Any, function: str) -> tuple[str, Any, Any] | None:
    """(extension name, storage, CRS or None) of a pyarrow array of
    GeoArrow geometries; None for anything that is not an Arrow array."""
    loaded = _module("pyarrow")
    chunked = loaded is not None and isinstance(geoms, loaded.ChunkedArray)
    if not chunked and not hasattr(geoms, "__arrow_c_array__"):
        return None
    try:
        import pyarrow as pa
    except ImportError as error:
        raise ModuleNotFoundError(
            f"orvik.geometry.{function}() needs pyarrow for Arrow arrays: pip install 'orvik[geometry]'",
            name="pyarrow",
        ) from error

    metadata: dict[bytes, bytes] = {}
    if isinstance(geoms, pa.ChunkedArray):
        geoms = geoms.combine_chunks()
    if not isinstance(geoms, pa.Array):
        # Another library's array, through the C data interface: the field
        # carries the extension's name and metadata.  Each import consumes
        # what it is given, so the field and the array come from two exports.
        field = pa.Field._import_from_c_capsule(geoms.__arrow_c_array__()[0])
        geoms = pa.Array._import_from_c_capsule(*geoms.__arrow_c_array__())
        metadata = dict(field.metadata or {})
    if isinstance(geoms, pa.ExtensionArray):
        name = geoms.type.extension_name
        serialized = geoms.type.__arrow_ext_serialize__()
        storage = geoms.storage
    else:
        name = metadata.get(b"ARROW:extension:name", b"").decode()
        serialized = metadata.get(b"ARROW:extension:metadata", b"")
        storage = geoms
    if not name and (pa.types.is_binary(storage.type) or pa.types.is_large_binary(storage.type)):
        name = "geoarrow.wkb"
    if name not in _parts.NATIVE_DEPTH and name not in ("geoarrow.wkb", "geoarrow.wkt", "ogc.wkb"):
        raise TypeError(
            f"{function}() argument 'geoms': a pyarrow array of {storage.type} is not GeoArrow geometries; "
            "pass binary WKB or an array of a GeoArrow extension type"
        )
    return name, storage, _arrow_crs(serialized)


def _arrow_crs(serialized: bytes) -> Any:
    if not serialized:
        return None
    try:
        crs = json.loads(serialized).get("crs")
    except (ValueError, AttributeError):
        return None
    if crs is None:
        return None
    import pyproj

    return pyproj.CRS.from_user_input(crs)


def _serialized_to_shapely(shapely: Any, name: str, storage: Any) -> Any:
    values = storage.to_numpy(zero_copy_only=False)
    return shapely.from_wkt(values) if name == "geoarrow.wkt" else shapely.from_wkb(values)


def _arrow_to_shapely(shapely: Any, name: str, storage: Any) -> Any:
    depth = _parts.NATIVE_DEPTH[name]
    levels, (x, y) = _parts.arrow_levels(storage, depth)
    coords = np.column_stack([x, y])
    kind = {
        "geoarrow.point": shapely.GeometryType.POINT,
        "geoarrow.linestring": shapely.GeometryType.LINESTRING,
        "geoarrow.multipoint": shapely.GeometryType.MULTIPOINT,
        "geoarrow.polygon": shapely.GeometryType.POLYGON,
        "geoarrow.multilinestring": shapely.GeometryType.MULTILINESTRING,
        "geoarrow.multipolygon": shapely.GeometryType.MULTIPOLYGON,
    }[name]
    objects = shapely.from_ragged_array(kind, coords, tuple(reversed(levels)) or None)
    objects[np.asarray(storage.is_null().to_numpy(zero_copy_only=False), dtype=bool)] = None
    return objects
