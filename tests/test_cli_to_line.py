"""orvik batch --to-line, run as a process: how far every row's point is from
a route, and how far along it."""

import io

import numpy as np
import pandas as pd
import pytest
from test_cli import assert_one_line_failure, needs_parquet, orvik

from orvik import geodesic
from orvik.cli._values import from_metres

ROUTE = "lat,lon\n51.95,4.05\n51.0,1.6\n50.0,-1.5\n49.5,-5.5\n"  # Rotterdam out through the Channel


@pytest.fixture
def files(tmp_path):
    rng = np.random.default_rng(21)
    fixes = pd.DataFrame({"ship": [f"s{i}" for i in range(30)], "lat": rng.uniform(49, 52.5, 30).round(5),
                          "lon": rng.uniform(-6, 5, 30).round(5)})  # fmt: skip
    fixes = fixes.astype(str)
    fixes.loc[4, "lat"], fixes.loc[9, "lon"], fixes.loc[11, "lat"] = "", "west", "-91"
    (tmp_path / "fixes.csv").write_text(fixes.to_csv(index=False))
    (tmp_path / "route.csv").write_text(ROUTE)
    return tmp_path, fixes


def expected(fixes: pd.DataFrame, unit: str) -> tuple[np.ndarray, np.ndarray]:
    route = pd.read_csv(io.StringIO(ROUTE))
    lat, lon = (pd.to_numeric(fixes[c], errors="coerce").to_numpy(copy=True) for c in ("lat", "lon"))
    lat[np.abs(lat) > 90] = np.nan  # a bad row
    got = geodesic.distance_to_line(lat, lon, route.lat, route.lon)
    return from_metres(got["distance"], unit), from_metres(got["along"], unit)


@pytest.mark.parametrize(("options", "unit"), [((), "m"), (("--unit", "km", "--chunk-size", 7), "km")])
def test_rows_get_their_distance_to_the_route(files, options, unit):
    tmp, fixes = files
    done = orvik("batch", tmp / "fixes.csv", "--to-line", tmp / "route.csv", *options)
    assert done.returncode == 0, done.stderr
    assert "3 of 30 rows are bad" in done.stderr and "first: row 5: column 'lat' is missing" in done.stderr
    out = pd.read_csv(io.StringIO(done.stdout), dtype=str, keep_default_na=False)
    assert out.columns.tolist() == ["ship", "lat", "lon", f"distance_to_line_{unit}", f"along_{unit}"]
    assert out[["ship", "lat", "lon"]].equals(fixes)  # the rows as they came, in order
    distance, along = expected(fixes, unit)
    np.testing.assert_array_equal(pd.to_numeric(out[f"distance_to_line_{unit}"]).to_numpy(), distance)
    np.testing.assert_array_equal(pd.to_numeric(out[f"along_{unit}"]).to_numpy(), along)


def test_point_columns_and_output_column_are_named(files):
    tmp, _ = files
    (tmp / "named.csv").write_text("y,x\n50.5,0.0\n")
    done = orvik("batch", tmp / "named.csv", "--to-line", tmp / "route.csv", "--lat", "y", "--lon", "x",
                 "--output-column", "off_route")  # fmt: skip
    assert done.returncode == 0, done.stderr
    header, row = done.stdout.splitlines()
    assert header == "y,x,off_route,along_m"
    want = geodesic.distance_to_line(50.5, 0.0, [51.95, 51.0, 50.0, 49.5], [4.05, 1.6, -1.5, -5.5])
    assert row == f"50.5,0.0,{want['distance']!r},{want['along']!r}"


@pytest.mark.parametrize(
    ("route", "args", "status", "fragment"),
    [
        ("lat,lon\n51,1\n", (), 1, "route.csv: a route needs at least two vertices, not 1"),
        ("lat,lon\n51,1\n52,x\n", (), 1, "route.csv: row 2: column 'lon': 'x' is not a finite number"),
        ("y,x\n51,1\n52,2\n", (), 1, "route.csv: no column 'lat'"),
        (ROUTE, ("--azimuths",), 2, "--to-line measures geodesic distances"),
        (ROUTE, ("--method", "great-circle"), 2, "--to-line measures geodesic distances"),
        (ROUTE, ("--lat", "latitude"), 1, "fixes.csv: no column 'latitude'"),
        (None, (), 1, "route.csv: no such file"),
    ],
)
def test_refusals_are_one_line(files, route, args, status, fragment):
    tmp, _ = files
    if route is None:
        (tmp / "route.csv").unlink()
    else:
        (tmp / "route.csv").write_text(route)
    done = orvik("batch", tmp / "fixes.csv", "--to-line", tmp / "route.csv", *args)
    assert_one_line_failure(done, status, fragment)


def test_route_from_standard_input_or_written_over_is_refused(files):
    tmp, _ = files
    done = orvik("batch", tmp / "fixes.csv", "--to-line", "-", stdin=ROUTE)
    assert_one_line_failure(done, 2, "--to-line needs a file")
    done = orvik("batch", tmp / "fixes.csv", "--to-line", tmp / "route.csv", "-o", tmp / "route.csv")
    assert_one_line_failure(done, 1, "is the input file")
    assert (tmp / "route.csv").read_text() == ROUTE


@needs_parquet
def test_parquet_in_and_out(files):
    tmp, fixes = files
    pd.read_csv(io.StringIO(ROUTE)).to_parquet(tmp / "route.parquet")
    done = orvik("batch", tmp / "fixes.csv", "--to-line", tmp / "route.parquet", "-o", tmp / "out.parquet")
    assert done.returncode == 0, done.stderr
    out = pd.read_parquet(tmp / "out.parquet")
    distance, _ = expected(fixes, "m")
    np.testing.assert_array_equal(out.distance_to_line_m.to_numpy(dtype=float), distance)
