"""The command line's geodesic extras: azimuth columns in `orvik batch`, and
points along a line with `orvik line`, against the package's functions."""

from __future__ import annotations

import csv
import io

import numpy as np
import pytest
from cli_support import assert_one_line_failure, orvik

from orvik import distance, geodesic

PAIRS = [(52.52, 13.405, 48.8566, 2.3522), (0.0, 179.5, 0.5, -179.5), (-33.9, 18.4, 90.0, 0.0)]


@pytest.mark.parametrize("output", ["out.csv", "out.parquet"])
def test_batch_adds_the_azimuths_of_the_geodesic(tmp_path, output):
    rows = "".join(f"p{i},{a},{b},{c},{d}\n" for i, (a, b, c, d) in enumerate(PAIRS))
    (tmp_path / "in.csv").write_text("name,lat1,lon1,lat2,lon2\n" + rows + "bad,x,0,0,0\n")
    done = orvik("batch", "in.csv", "-o", output, "--azimuths", "--unit", "m", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    if output.endswith(".csv"):
        table = list(csv.DictReader(io.StringIO((tmp_path / output).read_text())))
        get = lambda key: np.array([float(r[key]) if r[key] else np.nan for r in table])  # noqa: E731
    else:
        import pyarrow.parquet as pq

        frame = pq.read_table(tmp_path / output)
        get = lambda key: frame.column(key).to_numpy()  # noqa: E731
    expected = geodesic.inverse_batch(*np.array(PAIRS).T, outputs=("s12", "azi1", "azi2"))
    for column, key in (("distance_m", "s12"), ("azi1", "azi1"), ("azi2", "azi2")):
        values = get(column)
        assert values[:-1].tolist() == expected[key].tolist()
        assert np.isnan(values[-1])  # the bad row keeps its place, empty


def test_azimuths_are_the_geodesic_methods(tmp_path):
    (tmp_path / "in.csv").write_text("lat1,lon1,lat2,lon2\n1,2,3,4\n")
    done = orvik("batch", "in.csv", "--azimuths", "--method", "great-circle", cwd=tmp_path)
    assert_one_line_failure(done, 2, "--azimuths")


@pytest.mark.parametrize(
    ("options", "ends"), [(["--n", "5"], True), (["--n", "3", "--no-ends"], False), (["--spacing", "100"], True)]
)
def test_line_prints_the_packages_points(options, ends):
    a, b = (52.52, 13.405), (40.7128, -74.006)
    done = orvik("line", *map(str, (*a, *b)), *options)
    assert done.returncode == 0, done.stderr
    rows = list(csv.DictReader(io.StringIO(done.stdout)))
    lats = [float(r["lat"]) for r in rows]
    lons = [float(r["lon"]) for r in rows]
    if options[0] == "--n":
        want = geodesic.line_points(*a, *b, n=int(options[1]), include_ends=ends)
    else:
        want = geodesic.line_points(*a, *b, spacing=100_000.0)
    assert (lats, lons) == (want[0].tolist(), want[1].tolist())
    along = [float(r["distance_km"]) for r in rows]
    assert along == (distance.geodesic_distance_batch(*a, want[0], want[1]) / 1000).tolist()
    if ends:
        assert along[0] == 0.0 and abs(along[-1] - distance.geodesic_distance(*a, *b) / 1000) < 1e-9


@pytest.mark.parametrize(
    "options", [[], ["--n", "3", "--spacing", "5"], ["--spacing", "-1"], ["--n", "0"], ["--n", "1"]]
)
def test_line_needs_one_positive_way_of_spacing(options):
    done = orvik("line", "0", "0", "10", "10", *options)
    assert done.returncode == 2 and done.stdout == "" and len(done.stderr.splitlines()) == 1, done.stderr
