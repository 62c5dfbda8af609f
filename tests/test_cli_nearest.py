"""orvik nearest, run as a process: the nearest places of every query row."""

import io
import os
import time

import numpy as np
import pandas as pd
import pytest
from cli_support import limit_address_space, needs_plain_address_space
from cli_support import orvik as orvik_in
from test_cli import assert_one_line_failure, needs_parquet, orvik

from orvik.cli._values import from_metres
from orvik.neighbors import PointIndex

PLACES = "name,lat,lon\nBerlin,52.52,13.405\nParis,48.8566,2.3522\nLondon,51.5074,-0.1278\nRome,41.9,12.5\n"


def orvik_limited(gib, *args):
    """orvik under an address-space limit: a run that would grow without
    bound fails instead of taking the machine's memory."""
    return orvik_in(*args, preexec_fn=limit_address_space(gib))


@pytest.fixture
def files(tmp_path):
    rng = np.random.default_rng(9)
    queries = pd.DataFrame({"id": [f"q{i}" for i in range(25)], "lat": rng.uniform(35, 60, 25).round(6),
                            "lon": rng.uniform(-10, 20, 25).round(6)})  # fmt: skip
    queries = queries.astype(str)
    queries.loc[3, "lat"], queries.loc[7, "lon"], queries.loc[8, "lat"] = "", "east", "95"
    (tmp_path / "q.csv").write_text(queries.to_csv(index=False))
    (tmp_path / "p.csv").write_text(PLACES)
    return tmp_path, queries


@pytest.mark.parametrize(
    ("options", "method", "unit"),
    [((), "geodesic", "km"), (("--k", 2, "--chunk-size", 4, "--unit", "mi", "--method", "great-circle"),
      "great-circle", "mi"), (("--k", 6, "--name-column", "name", "--unit", "m"), "geodesic", "m")],
)  # fmt: skip
def test_rows_get_their_nearest_places(files, options, method, unit):
    tmp, queries = files
    done = orvik("nearest", tmp / "q.csv", "--points", tmp / "p.csv", *options)
    assert done.returncode == 0, done.stderr
    assert "3 of 25 rows" in done.stderr and "first: row 4: column 'lat' is missing" in done.stderr
    out = pd.read_csv(io.StringIO(done.stdout), dtype=str, keep_default_na=False)
    assert out[["id", "lat", "lon"]].equals(queries)  # the rows as they came, in order
    places = pd.read_csv(io.StringIO(PLACES))
    # More than the 4 places finds the 4.
    k = min(options[options.index("--k") + 1] if "--k" in options else 1, 4)
    lat, lon = (pd.to_numeric(queries[c], errors="coerce").to_numpy() for c in ("lat", "lon"))
    d, i = PointIndex(places.lat, places.lon).query(lat, lon, k, method=method)
    for j in range(k):
        labels = places.name if "--name-column" in options else pd.Series(range(1, 5))
        want = [str(labels[x]) if x >= 0 else "" for x in i[:, j]]
        assert out[f"nearest_{j + 1}"].tolist() == want
        got = pd.to_numeric(out[f"distance_{j + 1}_{unit}"]).to_numpy()
        np.testing.assert_array_equal(got, np.where(i[:, j] >= 0, from_metres(d[:, j], unit), np.nan))


def test_queries_from_standard_input(files):
    tmp, _ = files
    done = orvik("nearest", "-", "--points", tmp / "p.csv", "--name-column", "name", stdin="lat,lon\n48.86,2.35\n")
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines()[1].startswith("48.86,2.35,Paris,")


@pytest.mark.parametrize(
    ("places", "args", "status", "fragment"),
    [
        ("name,lat,lon\nA,1,2\nB,1,x\n", (), 1, "p.csv: row 2: column 'lon': 'x' is not a finite number"),
        ("name,lat,lon\nA,1,2\nB,,2\n", (), 1, "p.csv: row 2: column 'lat' is missing"),
        ("name,lat,lon\nA,91,2\n", (), 1, "p.csv: row 1: column 'lat': latitude 91 is outside [-90, 90]"),
        (PLACES, ("--name-column", "label"), 1, "p.csv: no column 'label'"),
        (PLACES, ("--lat", "y"), 1, "q.csv: no column 'y'"),
        (PLACES, ("--k", 0), 2, "must be at least 1"),
        (None, (), 1, "p.csv: no such file"),
    ],
)
def test_refusals_are_one_line(files, places, args, status, fragment):
    tmp, _ = files
    if places is None:
        (tmp / "p.csv").unlink()
    else:
        (tmp / "p.csv").write_text(places)
    done = orvik("nearest", tmp / "q.csv", "--points", tmp / "p.csv", *args)
    assert_one_line_failure(done, status, fragment)


def test_an_added_column_must_be_new(files):
    tmp, _ = files
    (tmp / "q2.csv").write_text("lat,lon,nearest_1\n1,2,x\n")
    done = orvik("nearest", tmp / "q2.csv", "--points", tmp / "p.csv")
    assert_one_line_failure(done, 1, "already has a column 'nearest_1'")


@needs_parquet
def test_parquet_in_and_out(files):
    tmp, queries = files
    pd.read_csv(tmp / "p.csv").to_parquet(tmp / "p.parquet")
    done = orvik("nearest", tmp / "q.csv", "--points", tmp / "p.parquet", "--name-column", "name",
                 "--k", 2, "--chunk-size", 10, "-o", tmp / "out.parquet")  # fmt: skip
    assert done.returncode == 0, done.stderr
    out = pd.read_parquet(tmp / "out.parquet")
    assert len(out) == 25 and out.nearest_1.isna().sum() == 3
    assert set(out.nearest_1.dropna()) <= {"Berlin", "Paris", "London", "Rome"}


@needs_plain_address_space
@pytest.mark.parametrize("k", [5, 1000, 99999999999999, 10**30])
def test_more_places_than_there_are_finds_them_all(files, k):
    tmp, _ = files
    # Columns for a k beyond the places would need far more than this.
    done = orvik_limited(3, "nearest", tmp / "q.csv", "--points", tmp / "p.csv", "--k", k, "-q")
    assert done.returncode == 0, done.stderr
    assert done.stderr == f"orvik: note: --k {k:,} is more than the 4 places of {tmp / 'p.csv'}; finding 4\n"
    header = done.stdout.splitlines()[0].split(",")
    assert header[3:] == [f"{c}_{j}{u}" for j in range(1, 5) for c, u in (("nearest", ""), ("distance", "_km"))]


@needs_plain_address_space
@pytest.mark.parametrize(
    ("args", "fragment"),
    [
        (("--k", 99999999999999, "--chunk-size", 1_000_000_000), "with 1,000,000,000 query rows at a time"),
        (("--k", 2000, "--chunk-size", 100_000), "--k 2,000 with 100,000 query rows at a time needs about"),
    ],
)
def test_results_that_cannot_fit_in_memory_fail_at_once(files, args, fragment):
    tmp, _ = files
    (tmp / "p.csv").write_text("lat,lon\n" + "".join(f"{i % 170 - 85},{i % 360 - 180}\n" for i in range(2000)))
    started = time.monotonic()
    done = orvik_limited(3, "nearest", tmp / "q.csv", "--points", tmp / "p.csv", *args)
    assert_one_line_failure(done, 1, fragment)
    assert "GiB available: use a smaller --chunk-size" in done.stderr
    assert time.monotonic() - started < 60


def test_a_large_k_finds_every_place(files):
    tmp, _ = files
    (tmp / "p.csv").write_text("lat,lon\n" + "".join(f"{i % 170 - 85},{i % 360 - 180}\n" for i in range(3000)))
    done = orvik("nearest", tmp / "q.csv", "--points", tmp / "p.csv", "--k", 3000, "--unit", "m")
    assert done.returncode == 0, done.stderr
    out = pd.read_csv(io.StringIO(done.stdout))
    assert out.shape == (25, 3 + 2 * 3000)
    assert out.distance_3000_m.notna().sum() == 22  # the good rows, all places found


@pytest.mark.parametrize(
    "output",
    ["q.csv", "p.csv", "./q.csv", "link.csv", "hard.csv"],
)
def test_the_output_cannot_be_an_input(files, output):
    tmp, _ = files
    (tmp / "link.csv").symlink_to("q.csv")
    os.link(tmp / "p.csv", tmp / "hard.csv")
    before = {name: (tmp / name).read_bytes() for name in ("q.csv", "p.csv")}
    done = orvik("nearest", "q.csv", "--points", "p.csv", "-o", output, cwd=tmp)
    assert_one_line_failure(done, 1, f"{output}: is the input file; write to another file")
    assert {name: (tmp / name).read_bytes() for name in before} == before
