"""orvik area: the geodesic area and length of every feature of a GeoJSON or
GeoParquet file, streamed in chunks.

GeoJSON (a FeatureCollection, or a sequence of features one per line) comes
out as GeoJSON with the properties area_m2 and length_m added to every
feature; everything else of the file is kept, the collection's other
members included.  GeoParquet comes out as Parquet with every column, its
metadata, and two float64 columns added.  A feature whose geometry is
missing, unreadable or has coordinates outside longitude/latitude degrees
gets empty measures (null) and is counted; under --strict the first one
stops the run.  A failed run leaves no output file behind.
"""

from __future__ import annotations

import argparse
import codecs
import json
import re
import sys
from collections.abc import Iterator
from contextlib import ExitStack
from dataclasses import dataclass
from typing import IO, Any

from orvik.cli._batch import CHUNK_ROWS, add_streaming_options
from orvik.cli._errors import CliError, UsageError, computing, describe, missing_extra
from orvik.cli._streams import SUFFIXES, Input, Output, label

GEOJSON_SEQUENCE_SUFFIXES = (".geojsonl", ".geojsons", ".ndjson", ".jsonl")
PARQUET_SUFFIXES = (".parquet", ".geoparquet", ".pq", ".parq")
ADDED = ("area_m2", "length_m")
_SPACE = re.compile(r"[\s\x1e]*")  # RFC 8142 sequences put RS before each feature


def add_command(commands: argparse._SubParsersAction[Any]) -> None:
    p = commands.add_parser(
        "area",
        help="geodesic area and length of every feature of a GeoJSON or GeoParquet file",
        description="Adds the geodesic area (area_m2) and length or perimeter (length_m) of "
        "every feature of a GeoJSON or GeoParquet file, in longitude/latitude degrees, "
        "streaming it in chunks.  GeoJSON comes out as GeoJSON, GeoParquet as Parquet.",
    )
    p.add_argument(
        "input",
        metavar="INPUT",
        help="GeoJSON (a FeatureCollection, or one feature per line for .geojsonl, .geojsons, "
        ".ndjson, .jsonl; maybe compressed) or GeoParquet file ('-': GeoJSON from standard input)",
    )
    p.add_argument(
        "-o", "--output", default="-", metavar="OUTPUT",
        help="file to write (default '-': standard output, GeoJSON only)",
    )  # fmt: skip
    p.add_argument("--oriented", action="store_true", help="let the winding decide (RFC 7946) what a ring bounds")
    p.add_argument(
        "--ellipsoid", metavar="NAME",
        help="WGS84, GRS80 or WGS72 (default: the file's CRS, else WGS84)",
    )  # fmt: skip
    p.add_argument("--strict", action="store_true", help="stop at the first bad feature instead of writing null")
    add_streaming_options(p, "features")
    p.set_defaults(run=run, prepare=prepare)


def prepare(args: argparse.Namespace) -> None:
    """Imports what the run will need before it begins (see
    orvik.cli._batch.prepare for why)."""
    _require(args.input.lower().endswith(PARQUET_SUFFIXES))
    import orvik.geometry  # noqa: F401


@dataclass
class _Tally:
    rows: int = 0
    bad: int = 0
    first: str | None = None


def run(args: argparse.Namespace) -> int:
    parquet = args.input.lower().endswith(PARQUET_SUFFIXES)
    if parquet and args.output == "-":
        raise UsageError("Parquet output needs a file: -o FILE.parquet")
    if not parquet and args.output.lower().endswith(PARQUET_SUFFIXES):
        raise UsageError("GeoJSON input is written as GeoJSON: name the output .geojson")
    if parquet and _without_codec(args.output) != args.output.lower():
        raise UsageError("Parquet compresses inside the file: drop the compression suffix")
    _require(parquet)
    if args.chunk_size is None:
        args.chunk_size = CHUNK_ROWS
    tally = _Tally()
    with ExitStack() as stack:
        output = Output(args.output)
        if parquet:
            _parquet_run(args, output, tally)
        else:
            source = Input(args.input, stack, twice=False)
            sequence = _without_codec(args.input).endswith(GEOJSON_SEQUENCE_SUFFIXES)
            with source.errors():
                stream = source.open()
            _geojson_run(args, _JsonReader(stream, source), sequence, output, tally)
    if not args.quiet:
        _report(tally, args.output)
    return 0


def _without_codec(path: str) -> str:
    lower = path.lower()
    for suffix in SUFFIXES:
        lower = lower.removesuffix(suffix)
    return lower


def _require(parquet: bool) -> None:
    try:
        import numpy  # noqa: F401
        import pyarrow  # noqa: F401
        import shapely  # noqa: F401

        if parquet:
            import pyarrow.parquet  # noqa: F401
    except ImportError as error:
        raise missing_extra(error.name or "shapely", "geometry", error) from None


def _measures(geoms: Any, args: argparse.Namespace, where: str) -> tuple[Any, Any, Any]:
    """area_m2, length_m and which rows are bad, for a chunk of geometries."""
    import numpy as np

    from orvik import geometry

    ellipsoid = args.ellipsoid
    with computing("computing"):
        try:
            areas = np.asarray(geometry.area(geoms, ellipsoid=ellipsoid, oriented=args.oriented), dtype=np.float64)
            lengths = np.asarray(geometry.length(geoms, ellipsoid=ellipsoid), dtype=np.float64)
        except ValueError as error:
            raise CliError(f"{where}: {error}") from None
        except ImportError as error:
            raise missing_extra(error.name or "pyproj", "geometry", error) from None
    return areas, lengths, ~(np.isfinite(areas) & np.isfinite(lengths))


def _count_bad(bad: Any, first_row: int, why: str, args: argparse.Namespace, where: str, tally: _Tally) -> None:
    import numpy as np

    if bad.any():
        first = f"feature {first_row + int(np.flatnonzero(bad)[0])}: {why}"
        if args.strict:
            raise CliError(f"{where}: {first}")
        tally.bad += int(bad.sum())
        tally.first = tally.first or first
    tally.rows += len(bad)


_BAD = "no geometry, an unreadable one, or coordinates outside longitude/latitude degrees"

# --- GeoJSON ---------------------------------------------------------------------


class _JsonReader:
    """JSON values read one at a time from a stream of UTF-8, so that a
    FeatureCollection larger than memory is read a feature at a time."""

    def __init__(self, stream: IO[bytes], source: Input) -> None:
        self._stream = stream
        self._source = source
        self._decode = codecs.getincrementaldecoder("utf-8-sig")()
        self._decoder = json.JSONDecoder()
        self._text = ""
        self._at = 0
        self._ended = False
        self._block = 1 << 20
        self.where = source.label

    def _fill(self) -> None:
        with self._source.errors():
            block = self._stream.read(self._block)
        try:
            self._text = self._text[self._at :] + self._decode.decode(block, final=not block)
        except UnicodeDecodeError as error:
            raise CliError(f"{self.where}: not UTF-8 text ({describe(error)})") from None
        self._at = 0
        self._ended = not block

    def peek(self) -> str:
        """The next character that is not white space ('' at the end)."""
        while True:
            self._at = _SPACE.match(self._text, self._at).end()  # type: ignore[union-attr]
            if self._at < len(self._text) or self._ended:
                return self._text[self._at : self._at + 1]
            self._fill()

    def take(self, expected: str) -> None:
        found = self.peek()
        if found != expected:
            raise CliError(f"{self.where}: not GeoJSON: expected {expected!r}, found {found or 'the end'!r}")
        self._at += 1

    def value(self) -> Any:
        self.peek()
        while True:
            try:
                value, end = self._decoder.raw_decode(self._text, self._at)
            except json.JSONDecodeError as error:
                if self._ended:
                    raise CliError(f"{self.where}: not GeoJSON: {describe(error)}") from None
                # A value cut by the end of the text read so far: read more,
                # in ever larger blocks so that a huge one costs no more than
                # twice its size to parse.
                self._block *= 2
                self._fill()
                continue
            if end == len(self._text) and not self._ended:
                self._fill()  # a number may go on
                continue
            self._at = end
            return value


def _features(reader: _JsonReader, sequence: bool, members: dict[str, Any], after: dict[str, Any]) -> Iterator[Any]:
    """The features of a FeatureCollection or of a sequence; the collection's
    other members go to `members` (before its features) and `after`."""
    if sequence:
        while reader.peek():
            yield reader.value()
        return
    reader.take("{")
    seen_features = False
    while reader.peek() != "}":
        if members or seen_features or after:
            reader.take(",")
        key = reader.value()
        reader.take(":")
        if key != "features":
            (after if seen_features else members)[key] = reader.value()
            continue
        seen_features = True
        reader.take("[")
        while reader.peek() != "]":
            yield reader.value()
            if reader.peek() == ",":
                reader.take(",")
        reader.take("]")
    reader.take("}")
    if members.get("type", "FeatureCollection") != "FeatureCollection" or not seen_features:
        raise CliError(f"{reader.where}: not a GeoJSON FeatureCollection")
    if reader.peek():
        raise CliError(f"{reader.where}: not GeoJSON: more after the FeatureCollection")


def _geojson_run(args: argparse.Namespace, reader: _JsonReader, sequence: bool, output: Output, tally: _Tally) -> None:
    where = reader.where
    members: dict[str, Any] = {}
    after: dict[str, Any] = {}
    with output.open() as raw, output.errors():
        out = codecs.getwriter("utf-8")(raw)
        opened = False
        chunk: list[Any] = []

        def flush() -> None:
            nonlocal opened
            if not opened and not sequence:
                head = {k: v for k, v in members.items() if k != "type"}
                out.write('{"type": "FeatureCollection", ' + "".join(f"{json.dumps(k)}: {json.dumps(v)}, " for k, v in head.items()))
                out.write('"features": [\n')
            separator = "" if sequence or not opened and tally.rows == 0 else ",\n"
            opened = True
            if chunk:
                out.write(separator + _measured_features(chunk, args, tally, where, sequence))
            chunk.clear()

        for feature in _features(reader, sequence, members, after):
            chunk.append(feature)
            if len(chunk) >= args.chunk_size:
                flush()
        flush()
        if not sequence:
            out.write("\n]" + "".join(f", {json.dumps(k)}: {json.dumps(v)}" for k, v in after.items()) + "}\n")


def _measured_features(chunk: list[Any], args: argparse.Namespace, tally: _Tally, where: str, sequence: bool) -> str:
    import numpy as np
    import shapely

    texts = np.empty(len(chunk), dtype=object)
    for i, feature in enumerate(chunk):
        if not isinstance(feature, dict) or feature.get("type") != "Feature":
            raise CliError(f"{where}: feature {tally.rows + i + 1} is not a GeoJSON Feature")
        properties = feature.get("properties") or {}
        for name in ADDED:
            if name in properties:
                raise CliError(f"{where}: feature {tally.rows + i + 1} already has a property {name!r}")
        geometry = feature.get("geometry")
        texts[i] = json.dumps(geometry) if isinstance(geometry, dict) else None
    geoms = shapely.from_geojson(texts, on_invalid="ignore")
    areas, lengths, bad = _measures(geoms, args, where)
    _count_bad(bad, tally.rows + 1, _BAD, args, where, tally)
    lines = []
    for feature, a, length, wrong in zip(chunk, areas.tolist(), lengths.tolist(), bad.tolist(), strict=True):
        properties = dict(feature.get("properties") or {})
        properties["area_m2"] = None if wrong else a
        properties["length_m"] = None if wrong else length
        feature["properties"] = properties
        lines.append(json.dumps(feature))
    return ("\n" if sequence else ",\n").join(lines) + ("\n" if sequence else "")


# --- GeoParquet ------------------------------------------------------------------


class _GeoArrow:
    """A GeoParquet column handed to orvik.geometry as a GeoArrow array: the
    column with its encoding and CRS as extension metadata."""

    def __init__(self, array: Any, name: str, crs: Any) -> None:
        self.array = array
        self.name = name
        self.crs = crs

    def __arrow_c_array__(self, requested_schema: Any = None) -> Any:
        import pyarrow as pa

        metadata = {"ARROW:extension:name": self.name,
                    "ARROW:extension:metadata": json.dumps({"crs": self.crs} if self.crs else {})}  # fmt: skip
        field = pa.field("geometry", self.array.type, metadata=metadata)
        return field.__arrow_c_schema__(), self.array.__arrow_c_array__()[1]


def _parquet_run(args: argparse.Namespace, output: Output, tally: _Tally) -> None:
    import pyarrow as pa
    import pyarrow.parquet as pq

    where = label(args.input)
    try:
        file = pq.ParquetFile(args.input)
    except FileNotFoundError:
        raise CliError(f"{where}: no such file") from None
    except (OSError, pa.ArrowException) as error:
        raise CliError(f"{where}: not a Parquet file ({describe(error)})") from None
    schema = file.schema_arrow
    column, encoding, crs = _geo_column(schema, where)
    for name in ADDED:
        if name in schema.names:
            raise CliError(f"{where}: already has a column {name!r}")
    out_schema = schema
    for name in ADDED:
        out_schema = out_schema.append(pa.field(name, pa.float64()))
    out_schema = out_schema.with_metadata(schema.metadata)
    with output.open() as raw, output.errors():
        writer = pq.ParquetWriter(raw, out_schema)
        batches = file.iter_batches(batch_size=args.chunk_size)
        try:
            while (batch := _next_batch(batches, where)) is not None:
                geoms = batch.column(schema.get_field_index(column))
                areas, lengths, bad = _measures(_GeoArrow(geoms, encoding, crs), args, where)
                _count_bad(bad, tally.rows + 1, _BAD, args, where, tally)
                added = [pa.array(values, pa.float64(), mask=bad) for values in (areas, lengths)]
                writer.write_table(pa.Table.from_arrays([*batch.columns, *added], schema=out_schema))
        finally:
            writer.close()


def _next_batch(batches: Iterator[Any], where: str) -> Any:
    import pyarrow as pa

    try:
        return next(batches, None)
    except (OSError, pa.ArrowException) as error:
        raise CliError(f"{where}: not a Parquet file ({describe(error)})") from None


def _geo_column(schema: Any, where: str) -> tuple[str, str, Any]:
    """The primary geometry column of GeoParquet, its GeoArrow encoding and
    its CRS (PROJJSON; None for GeoParquet's default, longitude/latitude on
    WGS84)."""
    raw = (schema.metadata or {}).get(b"geo")
    if raw is None:
        raise CliError(f"{where}: not GeoParquet (no 'geo' metadata)")
    try:
        geo = json.loads(raw)
        column = geo["primary_column"]
        info = geo["columns"][column]
    except (ValueError, KeyError, TypeError):
        raise CliError(f"{where}: GeoParquet metadata without its primary column") from None
    encoding = str(info.get("encoding", "WKB")).lower()
    name = "geoarrow.wkb" if encoding == "wkb" else f"geoarrow.{encoding}"
    if column not in schema.names:
        raise CliError(f"{where}: no column {column!r}, the GeoParquet metadata's primary column")
    return column, name, info.get("crs")


def _report(tally: _Tally, output: str) -> None:
    if tally.bad:
        print(
            f"orvik: {tally.bad:,} of {tally.rows:,} features are bad ({_BAD}); their area_m2 and "
            f"length_m are empty (first: {tally.first})",
            file=sys.stderr,
        )
    elif output != "-":
        print(f"orvik: wrote {tally.rows:,} features to {output}", file=sys.stderr)
