"""The main job: geodesic against great-circle distances for every pair of a
set of places (by default the airports table the package ships)."""

from __future__ import annotations

import argparse
import csv
import io
import time
from dataclasses import dataclass
from importlib import resources
from typing import Any

from orvik import distance, get_num_threads
from orvik.cli._errors import CliError, computing, missing_extra
from orvik.cli._values import positive

DEFAULT_DATA = "airports.csv"
LABEL_WIDTH = 24


@dataclass(frozen=True)
class Places:
    source: str
    names: list[str]
    lat: list[float]
    lon: list[float]


def add_arguments(p: argparse.ArgumentParser) -> None:
    p.add_argument(
        "--data",
        metavar="CSV",
        help="places to compare: a CSV with columns lat, lon and name (or iata) "
        "(default: the built-in table of major airports)",
    )
    p.add_argument(
        "--top", type=positive, default=10, metavar="N", help="how many pairs to list (default 10)"
    )


def run(args: argparse.Namespace) -> int:
    try:
        import numpy as np
    except ImportError as error:
        raise missing_extra("NumPy", "cli", error) from None
    places = _load(args.data)
    n = len(places.names)
    if n < 2:
        raise CliError(f"{places.source}: at least two places are needed, found {n}")

    lat = np.asarray(places.lat)
    lon = np.asarray(places.lon)
    try:
        with computing("computing the distance matrices"):
            start = time.perf_counter()
            geodesic = distance.geodesic_distance_matrix(lat, lon, lat, lon)
            great_circle = distance.great_circle_distance_matrix(lat, lon, lat, lon)
            elapsed = time.perf_counter() - start
            threads = _threads()
    except MemoryError:
        raise CliError(
            f"{places.source}: not enough memory for two {n:,} x {n:,} distance matrices"
        ) from None

    i, j = np.triu_indices(n, k=1)
    g, c = geodesic[i, j], great_circle[i, j]
    del geodesic, great_circle
    difference = c - g
    # Coinciding places have no relative difference: NaN, without a warning.
    relative = np.divide(difference, g, out=np.full_like(g, np.nan), where=g > 0)
    order = np.argsort(-np.abs(difference), kind="stable")[: args.top]

    pairs = len(i)
    print(f"orvik: {n} places from {places.source}, {pairs:,} pairs")
    print(
        f"WGS84 geodesic and great-circle (sphere of radius 6371.0088 km) distance matrices, "
        f"{n}x{n} each: {elapsed * 1e3:.2f} ms on {threads}"
    )
    print()
    print("Largest differences between the two models (great circle minus geodesic):")
    shown = [(places.names[i[k]], places.names[j[k]]) for k in order]
    w = min(max(len(name) for pair in shown for name in pair), LABEL_WIDTH)
    print(
        f"{'':>4}  {'from':<{w}}  {'to':<{w}}  {'geodesic km':>12}  {'great circle km':>15}"
        f"  {'diff km':>8}  {'diff %':>7}"
    )
    for rank, (k, (a, b)) in enumerate(zip(order, shown, strict=True), 1):
        print(
            f"{rank:>4}  {a[:w]:<{w}}  {b[:w]:<{w}}  {g[k] / 1e3:>12.3f}  {c[k] / 1e3:>15.3f}"
            f"  {difference[k] / 1e3:>+8.3f}  {_percent(relative[k]):>7}"
        )
    print()
    print(_summary(np, relative, places.names, i, j))
    return 0


def _percent(ratio: float) -> str:
    return "-" if ratio != ratio else f"{ratio * 100:+.3f}"


def _summary(np: Any, relative: Any, names: list[str], i: Any, j: Any) -> str:
    distinct = np.flatnonzero(~np.isnan(relative))
    if not len(distinct):
        return "Every pair of places coincides: there is no relative difference."
    mean_abs = float(np.mean(np.abs(relative[distinct]))) * 100
    worst = distinct[int(np.argmax(np.abs(relative[distinct])))]
    return (
        f"Mean |difference|: {mean_abs:.3f} %; largest relative: "
        f"{relative[worst] * 100:+.3f} % ({names[i[worst]]}-{names[j[worst]]})"
    )


def _threads() -> str:
    count = get_num_threads()
    return f"{count} thread{'s' if count != 1 else ''}"


def _load(path: str | None) -> Places:
    if path is None:
        text = resources.files("orvik").joinpath("data", DEFAULT_DATA).read_text(encoding="utf-8")
        return _parse(io.StringIO(text), "the built-in airports table")
    try:
        # utf-8-sig: a byte-order mark is not part of the first column's name.
        with open(path, newline="", encoding="utf-8-sig") as f:
            return _parse(f, path)
    except OSError as error:
        raise CliError(f"{path}: {error.strerror or error}") from None
    except UnicodeDecodeError:
        raise CliError(f"{path}: not a UTF-8 text file") from None


def _parse(f: Any, source: str) -> Places:
    reader = csv.DictReader(f)
    fields = reader.fieldnames or []
    label_fields = [k for k in ("iata", "name") if k in fields]
    for needed in ("lat", "lon"):
        if needed not in fields:
            raise CliError(f"{source}: no column {needed!r} (columns: {', '.join(fields)})")
    names, lats, lons = [], [], []
    for row_number, row in enumerate(reader, 1):
        try:
            lat, lon = float(row["lat"]), float(row["lon"])
        except (TypeError, ValueError):
            raise CliError(f"{source}: row {row_number}: lat and lon must be numbers") from None
        if not (-90.0 <= lat <= 90.0) or lon != lon or abs(lon) == float("inf"):
            raise CliError(f"{source}: row {row_number}: coordinates ({lat}, {lon}) out of range")
        label = " ".join(row[k] or "" for k in label_fields).strip()
        names.append(label or f"#{row_number}")
        lats.append(lat)
        lons.append(lon)
    return Places(source, names, lats, lons)
