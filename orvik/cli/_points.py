"""The one-pair commands: distance, destination and inverse."""

from __future__ import annotations

import argparse
import json
import math
from collections.abc import Mapping
from typing import Any

from orvik import distance, geodesic
from orvik.cli._errors import CliError, UsageError, computing
from orvik.cli._values import METHODS, UNITS, from_metres, latitude, number, to_metres


def add_commands(commands: argparse._SubParsersAction[Any]) -> None:
    p = commands.add_parser(
        "distance",
        help="distance between two points",
        description="Distance between two points given in decimal degrees.",
    )
    add_pair(p)
    _add_method_and_unit(p)
    p.add_argument(
        "--rhumb",
        action="store_true",
        help="along the rhumb line (constant bearing) on the WGS84 ellipsoid instead of the geodesic",
    )
    p.add_argument("--json", action="store_true", help="print a JSON object")
    p.set_defaults(run=run_distance)

    p = commands.add_parser(
        "destination",
        help="point reached from a start, a bearing and a distance",
        description="The point reached from LAT LON after DISTANCE along BEARING "
        "(degrees clockwise from north).",
    )
    p.add_argument("lat", type=latitude, metavar="LAT")
    p.add_argument("lon", type=number, metavar="LON")
    p.add_argument("bearing", type=number, metavar="BEARING")
    p.add_argument("distance", type=number, metavar="DISTANCE", help="in the unit of --unit")
    _add_method_and_unit(p)
    p.add_argument("--json", action="store_true", help="print a JSON object")
    p.set_defaults(run=run_destination)

    p = commands.add_parser(
        "inverse",
        help="every quantity of the WGS84 inverse problem",
        description="Distance, azimuths, arc length, reduced length, geodesic scales and area "
        "of the WGS84 geodesic between two points.",
    )
    add_pair(p)
    p.add_argument("--json", action="store_true", help="print a JSON object")
    p.set_defaults(run=run_inverse)


def add_pair(p: argparse.ArgumentParser) -> None:
    p.add_argument("lat1", type=latitude, metavar="LAT1")
    p.add_argument("lon1", type=number, metavar="LON1")
    p.add_argument("lat2", type=latitude, metavar="LAT2")
    p.add_argument("lon2", type=number, metavar="LON2")


def _add_method_and_unit(p: argparse.ArgumentParser) -> None:
    p.add_argument(
        "--method",
        choices=METHODS,
        default="geodesic",
        help="WGS84 ellipsoid (default) or a sphere of radius 6371008.8 m",
    )
    p.add_argument("--unit", choices=UNITS, default="km", help="unit of distances (default km)")


def run_distance(args: argparse.Namespace) -> int:
    method = args.method
    if args.rhumb:
        if method != "geodesic":
            raise UsageError(f"--rhumb measures on the WGS84 ellipsoid: leave out --method {method}")
        method = "rhumb"
    f = {
        "geodesic": distance.geodesic_distance,
        "great-circle": distance.great_circle_distance,
        "rhumb": distance.rhumb_distance,
    }[method]
    with computing("the distance"):
        value = from_metres(f(args.lat1, args.lon1, args.lat2, args.lon2), args.unit)
    _require_finite({"distance": value})
    if args.json:
        print(_json({"distance": value, "unit": args.unit, "method": method}))
    else:
        print(f"{value!r} {args.unit}")
    return 0


def run_destination(args: argparse.Namespace) -> int:
    f = (
        distance.geodesic_destination
        if args.method == "geodesic"
        else distance.great_circle_destination
    )
    with computing("the destination"):
        lat2, lon2 = f(args.lat, args.lon, args.bearing, to_metres(args.distance, args.unit))
    _require_finite({"lat": lat2, "lon": lon2})
    if args.json:
        print(_json({"lat": lat2, "lon": lon2, "method": args.method}))
    else:
        print(f"{lat2!r} {lon2!r}")
    return 0


# The unit of each field of the inverse problem, for the plain output.
_INVERSE_UNITS = {
    "lat1": "deg", "lon1": "deg", "lat2": "deg", "lon2": "deg", "s12": "m",
    "azi1": "deg", "azi2": "deg", "a12": "deg", "m12": "m", "M12": "", "M21": "", "S12": "m^2",
}  # fmt: skip


def run_inverse(args: argparse.Namespace) -> int:
    with computing("the inverse problem"):
        result = geodesic.inverse(args.lat1, args.lon1, args.lat2, args.lon2)
    _require_finite(result)
    if args.json:
        print(_json(result))
    else:
        for key, value in result.items():
            print(f"{key:<4}  {value!r} {_INVERSE_UNITS.get(key, '')}".rstrip())
    return 0


def _require_finite(fields: Mapping[str, Any]) -> None:
    """A result that is not a finite number is a failure, not an answer:
    NaN printed with exit status 0 would pass for one, and is not JSON."""
    bad = [f"{key} is {value!r}" for key, value in fields.items() if not math.isfinite(value)]
    if bad:
        raise CliError(f"no finite result for these values: {', '.join(bad)}")


def _json(fields: Mapping[str, Any]) -> str:
    return json.dumps(fields, allow_nan=False)
