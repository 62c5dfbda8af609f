"""The orvik command, run as users run it: as a process."""

import json
import math
import pathlib
import subprocess
import sys

import numpy as np
import pandas as pd
import pytest

from orvik import distance, geodesic, units

from bit_equality import assert_bits_equal

SCRIPT = pathlib.Path(sys.executable).parent / "orvik"


def parquet_usable():
    try:
        import pyarrow.parquet  # noqa: F401
    except ImportError:  # missing, or built for another NumPy
        return False
    return True


needs_parquet = pytest.mark.skipif(not parquet_usable(), reason="pyarrow is not usable here")


def orvik(*args, stdin=None, cwd=None, module=False):
    command = [sys.executable, "-P", "-m", "orvik"] if module else [str(SCRIPT)]
    return subprocess.run(
        [*command, *map(str, args)],
        input=stdin,
        capture_output=True,
        text=True,
        cwd=cwd,
        timeout=120,
    )


def assert_one_line_failure(done, status, fragment):
    assert done.returncode == status, done.stderr
    assert done.stdout == ""
    assert "Traceback" not in done.stderr
    assert len(done.stderr.splitlines()) == 1, done.stderr
    assert fragment in done.stderr


def test_main_job_compares_the_models_on_the_airports():
    done = orvik(module=True)
    assert done.returncode == 0, done.stderr
    out = done.stdout
    assert "108 places" in out and "5,778 pairs" in out and " ms on " in out
    ranked = [line.split() for line in out.splitlines() if line.strip()[:3].strip().isdigit()]
    assert [int(r[0]) for r in ranked] == list(range(1, 11))
    # The ranking is by the size of the difference, largest first.
    diffs = [abs(float(r[-2])) for r in ranked]
    assert diffs == sorted(diffs, reverse=True)


def test_main_job_on_other_places(tmp_path):
    places = tmp_path / "p.csv"
    places.write_text("name,lat,lon\nQuito,-0.18,-78.47\nNorth,89.9,0\nSouth,-89.9,0\n")
    done = orvik("--data", places, "--top", 2)
    assert done.returncode == 0, done.stderr
    assert "3 places" in done.stdout and "North" in done.stdout
    g = distance.geodesic_distance(89.9, 0, -89.9, 0) / 1e3
    assert f"{g:.3f}" in done.stdout


@pytest.mark.parametrize(
    ("unit", "method"),
    [("m", "geodesic"), ("km", "geodesic"), ("mi", "great-circle"), ("nm", "geodesic"), ("ft", "great-circle")],
)
def test_distance(unit, method):
    done = orvik("distance", 52.52, 13.405, -33.9, 18.4, "--unit", unit, "--method", method)
    assert done.returncode == 0, done.stderr
    value, printed_unit = done.stdout.split()
    f = distance.geodesic_distance if method == "geodesic" else distance.great_circle_distance
    metres = f(52.52, 13.405, -33.9, 18.4)
    expected = {
        "m": metres,
        "km": units.m_to_km(metres),
        "mi": units.km_to_mi(units.m_to_km(metres)),
        "nm": units.km_to_nm(units.m_to_km(metres)),
        "ft": units.m_to_ft(metres),
    }[unit]
    assert (float(value), printed_unit) == (expected, unit)


def test_destination_takes_the_distance_in_the_unit():
    done = orvik("destination", -33.9, 18.4, 45, 100, "--unit", "nm", "--json")
    assert done.returncode == 0, done.stderr
    lat, lon = distance.geodesic_destination(-33.9, 18.4, 45, units.km_to_m(units.nm_to_km(100)))
    assert json.loads(done.stdout) == {"lat": lat, "lon": lon, "method": "geodesic"}


def test_inverse_prints_every_field():
    expected = geodesic.inverse(10, 20, -30, 40)
    assert json.loads(orvik("inverse", 10, 20, -30, 40, "--json").stdout) == expected
    plain = orvik("inverse", 10, 20, -30, 40).stdout.splitlines()
    assert [line.split()[0] for line in plain] == list(expected)
    assert [float(line.split()[1]) for line in plain] == list(expected.values())


@pytest.mark.parametrize(
    ("args", "status", "fragment"),
    [
        (["distance", 1, 2, 3], 2, "required: LON2"),
        (["distance", 1, 2, 3, 4, 5], 2, "unrecognized arguments: 5"),
        (["distance", 1, "x", 3, 4], 2, "argument LON1: 'x' is not a number"),
        (["distance", 91, 0, 0, 0], 2, "latitude 91 is outside [-90, 90]"),
        (["destination", 0, 0, "nan", 1], 2, "'nan' is not a finite number"),
        (["inverse", 0, 0, 0], 2, "required: LON2"),
        (["frobnicate"], 2, "invalid choice: 'frobnicate'"),
        (["--top", 0], 2, "argument --top: must be at least 1"),
        (["--data", "no/such.csv"], 1, "no/such.csv"),
        (["batch", "no/such.csv"], 1, "no/such.csv: no such file"),
        (["batch", "pairs.csv", "--chunk-size", 0], 2, "must be between 1 and 1,000,000,000, not 0"),
        (["batch", "pairs.csv", "-o", "-", "--output-format", "parquet"], 2, "needs a file"),
    ],
)
def test_bad_input_is_one_clear_line(tmp_path, args, status, fragment):
    (tmp_path / "pairs.csv").write_text("lat1,lon1,lat2,lon2\n1,2,3,4\n")
    assert_one_line_failure(orvik(*args, cwd=tmp_path), status, fragment)


PAIRS = pd.DataFrame(
    {
        "id": ["a", "b", "c", "d", "e", "f", "g"],
        "from_lat": ["52.52", "-33.9", "abc", "", "95", " 10 ", "0"],
        "from_lon": ["13.405", "18.4", "0", "0", "0", "20", "179.5"],
        "lat2": ["48.85", "51.5", "1", "1", "1", "30", "0"],
        "lon2": ["2.35", "-0.12", "1", "1", "1", "40", "-179.5"],
        "note": ["x, y", "", "text", "missing", "range", "spaces", "dateline"],
    }
)
GOOD = [0, 1, 5, 6]
COLUMNS = ["--lat1", "from_lat", "--lon1", "from_lon"]


def expected_km(method="geodesic"):
    batch = {
        "geodesic": distance.geodesic_distance_batch,
        "great-circle": distance.great_circle_distance_batch,
    }[method]
    values = [pd.to_numeric(PAIRS[c], errors="coerce") for c in ("from_lat", "from_lon", "lat2", "lon2")]
    km = batch(*values) / 1000.0
    km[[i for i in range(len(PAIRS)) if i not in GOOD]] = np.nan
    return km


def assert_same_floats(actual, expected):
    assert_bits_equal(np.asarray(actual, dtype=np.float64), expected)


@pytest.mark.parametrize("chunk_size", [2, 100])
def test_batch_csv_keeps_every_row_and_marks_bad_ones(tmp_path, chunk_size):
    PAIRS.to_csv(tmp_path / "in.csv", index=False)
    done = orvik("batch", "in.csv", "-o", "out.csv", *COLUMNS, "--chunk-size", chunk_size, cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    # The bad rows are counted, and the first one is named.
    assert "3 of 7 rows" in done.stderr and "row 3: column 'from_lat'" in done.stderr
    out = pd.read_csv(tmp_path / "out.csv", dtype=str, keep_default_na=False)
    # Every input row and value comes back as it was, plus the distance.
    assert out.drop(columns="distance_km").equals(PAIRS)
    assert_same_floats(pd.to_numeric(out["distance_km"]), expected_km())


def test_batch_strict_stops_at_the_first_bad_row_and_writes_nothing(tmp_path):
    PAIRS.to_csv(tmp_path / "in.csv", index=False)
    done = orvik("batch", "in.csv", "-o", "out.csv", *COLUMNS, "--strict", cwd=tmp_path)
    assert_one_line_failure(done, 1, "row 3: column 'from_lat': 'abc' is not a finite number")
    assert sorted(p.name for p in tmp_path.iterdir()) == ["in.csv"]


@pytest.mark.parametrize(
    ("rows", "fragment"),
    [("1,2,3,4\n,2,3,4\n", "row 2: column 'lat1' is missing"),
     ("1,2,3,4\n1,2,-90.5,4\n", "row 2: column 'lat2': latitude -90.5 is outside [-90, 90]"),
     ("1,2,3,inf\n", "row 1: column 'lon2': 'inf' is not a finite number")],
)  # fmt: skip
def test_batch_strict_names_what_is_wrong(tmp_path, rows, fragment):
    (tmp_path / "in.csv").write_text("lat1,lon1,lat2,lon2\n" + rows)
    assert_one_line_failure(orvik("batch", "in.csv", "--strict", cwd=tmp_path), 1, fragment)


@needs_parquet
def test_batch_parquet_round_trip(tmp_path):
    PAIRS.to_parquet(tmp_path / "in.parquet")
    done = orvik(
        "batch", "in.parquet", "-o", "out.parquet", *COLUMNS, "--chunk-size", 2,
        "--method", "great-circle", "--output-column", "d", "--quiet", cwd=tmp_path,
    )  # fmt: skip
    assert done.returncode == 0, done.stderr
    out = pd.read_parquet(tmp_path / "out.parquet")
    pd.testing.assert_frame_equal(out.drop(columns="d"), PAIRS, check_dtype=False)
    assert_same_floats(out["d"], expected_km("great-circle"))


def test_batch_reads_standard_input_and_writes_standard_output():
    done = orvik("batch", "-", "--unit", "m", "-q", stdin="lat1,lon1,lat2,lon2\n0,0,0,1\n")
    assert done.returncode == 0, done.stderr
    assert done.stderr == ""  # no progress bar when standard error is not a terminal
    header, row = done.stdout.splitlines()
    assert header == "lat1,lon1,lat2,lon2,distance_m"
    assert float(row.split(",")[-1]) == distance.geodesic_distance(0, 0, 0, 1)


@pytest.mark.parametrize(
    ("content", "args", "fragment"),
    [
        ("a,b\n1,2\n", [], "no column 'lat1' (columns: a, b)"),
        ("lat1,lon1,lat2,lon2,distance_km\n1,2,3,4,5\n", [], "already has a column 'distance_km'"),
        ("", [], "empty input"),
        ("lat1,lon1,lat2,lon2\n1,2,3,4\n", ["-o", "missing/dir/out.csv"], "no such directory"),
        pytest.param(
            "not parquet", ["--input-format", "parquet"], "not a Parquet file", marks=needs_parquet
        ),
    ],
)
def test_batch_input_problems(tmp_path, content, args, fragment):
    (tmp_path / "in.csv").write_text(content)
    assert_one_line_failure(orvik("batch", "in.csv", *args, cwd=tmp_path), 1, fragment)


def test_batch_of_a_header_only_file_writes_a_header(tmp_path):
    (tmp_path / "in.csv").write_text("lat1,lon1,lat2,lon2\n")
    done = orvik("batch", "in.csv", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert done.stdout == "lat1,lon1,lat2,lon2,distance_km\n"
