"""orvik line: points along the geodesic between two points, as CSV."""

from __future__ import annotations

import argparse
import sys
from typing import Any

from orvik import distance, geodesic
from orvik.cli._errors import UsageError, computing
from orvik.cli._points import add_pair
from orvik.cli._errors import needs_numpy
from orvik.cli._values import UNITS, from_metres, number, positive, to_metres

_LINES_PER_WRITE = 1 << 16


def add_command(commands: argparse._SubParsersAction[Any]) -> None:
    p = commands.add_parser(
        "line",
        help="points along the geodesic between two points, as CSV",
        description="Points along the WGS84 geodesic from LAT1 LON1 to LAT2 LON2, equally "
        "spaced, printed as CSV: lat, lon and the distance from the start.",
    )
    add_pair(p)
    how = p.add_mutually_exclusive_group(required=True)
    how.add_argument("--n", type=positive, metavar="N", help="this many points in all")
    how.add_argument(
        "--spacing",
        type=number,
        metavar="DISTANCE",
        help="about this far apart, in the unit of --unit (the step is adjusted so that the "
        "points are equally spaced)",
    )
    p.add_argument(
        "--no-ends",
        action="store_true",
        help="with --n: N points strictly between the two ends instead of N including them",
    )
    p.add_argument("--unit", choices=UNITS, default="km", help="unit of distances (default km)")
    p.set_defaults(run=run, prepare=needs_numpy)


def run(args: argparse.Namespace) -> int:
    if args.spacing is not None and args.spacing <= 0:
        raise UsageError(f"--spacing must be positive, not {args.spacing:g}")
    if args.no_ends and args.spacing is not None:
        raise UsageError("--no-ends goes with --n")
    if args.n == 1 and not args.no_ends:
        raise UsageError("--n must be at least 2 when the two ends are among the points")
    ends = (args.lat1, args.lon1, args.lat2, args.lon2)
    with computing("computing the line"):
        if args.n is not None:
            lats, lons = geodesic.line_points(*ends, n=args.n, include_ends=not args.no_ends)
        else:
            lats, lons = geodesic.line_points(*ends, spacing=to_metres(args.spacing, args.unit))
        along = from_metres(distance.geodesic_distance_batch(args.lat1, args.lon1, lats, lons), args.unit)
    out = sys.stdout
    out.write(f"lat,lon,distance_{args.unit}\n")
    # Many lines to a write: standard output may be unbuffered, and a line
    # of millions of points would be as many system calls.
    for start in range(0, len(lats), _LINES_PER_WRITE):
        end = start + _LINES_PER_WRITE
        rows = zip(lats[start:end].tolist(), lons[start:end].tolist(), along[start:end].tolist(), strict=True)
        out.write("".join(f"{lat!r},{lon!r},{s!r}\n" for lat, lon, s in rows))
    return 0
