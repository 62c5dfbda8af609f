"""The command line's rhumb lines: orvik distance --rhumb and orvik batch
--method rhumb, on the WGS84 ellipsoid."""

import json

import numpy as np
import pandas as pd
import pytest
from cli_support import PAIRS_CSV, assert_one_line_failure, orvik

from orvik import distance


def test_distance_along_the_rhumb_line():
    done = orvik("distance", 10, 170, 20, -170, "--rhumb", "--unit", "m", "--json")
    assert done.returncode == 0, done.stderr
    assert json.loads(done.stdout) == {
        "distance": distance.rhumb_distance(10, 170, 20, -170),
        "unit": "m",
        "method": "rhumb",
    }
    plain = orvik("distance", 10, 170, 20, -170, "--rhumb")
    assert plain.stdout.split() == [repr(distance.rhumb_distance(10, 170, 20, -170) / 1000), "km"]


@pytest.mark.parametrize(
    ("args", "fragment"),
    [
        (("distance", 0, 0, 1, 1, "--rhumb", "--method", "great-circle"), "leave out --method great-circle"),
        (("batch", "-", "--method", "rhumb", "--azimuths"), "use it with --method geodesic"),
    ],
)
def test_rhumb_refuses_what_it_cannot_do(args, fragment):
    assert_one_line_failure(orvik(*args, stdin=PAIRS_CSV), 2, fragment)


def test_batch_adds_rhumb_distances(tmp_path):
    (tmp_path / "in.csv").write_text(PAIRS_CSV + "10,170,20,-170,across\n")
    done = orvik("batch", "in.csv", "-o", "out.csv", "--method", "rhumb", "--unit", "m", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    out = pd.read_csv(tmp_path / "out.csv")
    expected = distance.rhumb_distance(out.lat1.to_numpy(), out.lon1.to_numpy(), out.lat2.to_numpy(), out.lon2.to_numpy())
    assert out["distance_m"].to_numpy().tobytes() == np.asarray(expected).tobytes()
