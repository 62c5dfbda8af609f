"""orvik batch --to-line: how far every row's point is from a route.

The route (a CSV or Parquet file of its vertices in order, in columns lat and
lon) is read whole and indexed once; the rows stream through `orvik batch`'s
machinery in chunks, each point read from --lat and --lon as `orvik nearest`
reads its queries.  Every row comes out with its columns as they were and
two added: the geodesic distance to the nearest point of the route, and how
far along the route that point is from its first vertex.  A route vertex
with bad coordinates stops the run, naming its row; a row with bad
coordinates gets empty results and is counted.
"""

from __future__ import annotations

import argparse
from dataclasses import dataclass
from typing import Any

from orvik import geodesic
from orvik.cli import _batch, _nearest
from orvik.cli._errors import CliError, UsageError
from orvik.cli._streams import refuse_overwriting
from orvik.cli._values import from_metres


@dataclass(frozen=True)
class _ToLine:
    """The plan of `orvik batch`'s streaming for distances to a route."""

    in_format: str
    out_format: str
    columns: list[str]
    line_lat: Any
    line_lon: Any
    out_column: str
    unit: str

    @property
    def added(self) -> list[str]:
        return [self.out_column, f"along_{self.unit}"]

    def added_types(self) -> list[Any]:
        import pyarrow as pa

        return [pa.float64()] * len(self.added)

    def remedy(self, column: str) -> str:
        return "name the new one with --output-column" if column == self.out_column else "--to-line adds it"

    @property
    def result_fault(self) -> str:
        return "the distance to the route is not a finite number"

    def compute(self, values: list[Any]) -> tuple[list[Any], Any]:
        import numpy as np

        found = geodesic.distance_to_line(values[0], values[1], self.line_lat, self.line_lon)
        results = [from_metres(found["distance"], self.unit), from_metres(found["along"], self.unit)]
        return results, ~np.isfinite(results[0])


def run(args: argparse.Namespace) -> int:
    if args.azimuths or args.method != "geodesic":
        raise UsageError("--to-line measures geodesic distances: leave out --azimuths and --method")
    in_format, out_format = _batch.io_formats(args)
    if args.to_line == "-":
        raise UsageError("--to-line needs a file, not standard input")
    refuse_overwriting(args.output, [args.input, args.to_line])
    route = argparse.Namespace(
        points=args.to_line, points_format=None, points_lat="lat", points_lon="lon", name_column=None
    )
    line_lat, line_lon, _ = _nearest._places(route)
    if len(line_lat) < 2:
        raise CliError(f"{args.to_line}: a route needs at least two vertices, not {len(line_lat)}")
    unit = args.unit or "m"
    plan = _ToLine(
        in_format,
        out_format,
        [args.lat, args.lon],
        line_lat,
        line_lon,
        args.output_column or f"distance_to_line_{unit}",
        unit,
    )
    return _batch.stream(args, plan)
