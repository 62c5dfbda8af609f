"""The commands' arguments and one-result outputs, the main job, and
failures of resources: memory, and the worker pool."""

import json
import os
import subprocess

import pytest
from cli_support import (
    PAIRS_CSV,
    SCRIPT,
    assert_one_line_failure,
    files_in,
    limit_address_space,
    needs_plain_address_space,
    orvik,
)

from orvik import distance, geodesic

EXPECTED = {
    "distance": lambda v: {
        "distance": distance.geodesic_distance(10, v, 30, 40) / 1000,
        "unit": "km",
        "method": "geodesic",
    },
    "destination": lambda v: dict(
        zip(("lat", "lon"), distance.geodesic_destination(10, v, 30, 40_000), strict=True),
        method="geodesic",
    ),
    "inverse": lambda v: geodesic.inverse(10, v, 30, 40),
}


@pytest.mark.parametrize("command", EXPECTED)
@pytest.mark.parametrize("text", ["-1e-3", "-.5", "-2E+1", "-7"])
def test_negative_numbers_in_any_spelling_are_values(command, text):
    done = orvik(command, 10, text, 30, 40, "--json")
    assert done.returncode == 0, done.stderr
    assert json.loads(done.stdout) == EXPECTED[command](float(text))


@pytest.mark.parametrize(
    ("args", "prog", "fragment"),
    [
        (["--top", 0], "orvik", "argument --top: must be at least 1"),
        (["distance", 0, 0, 0, 0, "--frob"], "orvik distance", "unrecognized arguments: --frob"),
        (["inverse", 0, 0, 0, "-1e-3", 5], "orvik inverse", "unrecognized arguments: 5"),
        (["destination", 0, 0, 0, "-inf"], "orvik destination", "'-inf' is not a finite number"),
        (["batch", "in.csv", "--top", 3], "orvik batch", "unrecognized arguments: --top 3"),
        (
            ["batch", "in.csv", "--output-column", ""],
            "orvik batch",
            "--output-column: must not be empty",
        ),
        (["batch", "-", "--input-format", "parquet"], "orvik batch", "Parquet input needs a file"),
        (["batch", "in.csv", "-o", "out.zip"], "orvik batch", "zip output is not supported"),
        (
            ["batch", "in.csv", "-o", "o.gz", "--output-format", "parquet"],
            "orvik batch",
            "drop the gzip",
        ),
        (["nearest", "in.csv", "--points", "in.csv", "-o", "out.zip"], "orvik nearest", "zip output"),
        *(
            ([command, "in.csv", *points, "--chunk-size", size], f"orvik {command}", fragment)
            for command, points in (("batch", []), ("nearest", ["--points", "in.csv"]))
            for size, fragment in (
                (99999999999999999999, "--chunk-size: must be between 1 and 1,000,000,000"),
                (1_000_000_001, "must be between 1 and 1,000,000,000, not 1000000001"),
                ("1_000", "--chunk-size: '1_000' is not a whole number"),
            )
        ),
        (
            ["nearest", "in.csv", "--points", "in.csv", "-o", "o.gz", "--output-format", "parquet"],
            "orvik nearest",
            "drop the gzip",
        ),
    ],
)
def test_bad_arguments_exit_2_pointing_at_their_command_help(tmp_path, args, prog, fragment):
    (tmp_path / "in.csv").write_text(PAIRS_CSV)
    done = orvik(*args, cwd=tmp_path)
    assert_one_line_failure(done, 2, fragment)
    assert done.stderr.startswith(f"{prog}: error:")
    assert done.stderr.rstrip().endswith(f"(see '{prog} --help')")
    assert files_in(tmp_path) == ["in.csv"]


@pytest.mark.parametrize("json_flag", [[], ["--json"]])
@pytest.mark.parametrize(
    "args",
    [
        ["destination", 0, 0, 0, 1e308],
        ["distance", 0, 1e308, 0, -1e308, "--method", "great-circle"],
    ],
)
def test_non_finite_results_are_failures_not_output(args, json_flag):
    assert_one_line_failure(orvik(*args, *json_flag), 1, "no finite result for these values")


def test_main_job_reads_names_after_a_byte_order_mark(tmp_path):
    (tmp_path / "p.csv").write_text(
        "name,lat,lon\nQuito,-0.18,-78.47\nNorth,89.9,0\n", encoding="utf-8-sig"
    )
    done = orvik("--data", "p.csv", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert "Quito" in done.stdout and "#1" not in done.stdout


@pytest.mark.parametrize(
    ("places", "summary"),
    [
        ("A,1,2\nB,1,2\nC,3,4\n", "largest relative"),
        ("A,1,2\nB,1,2\n", "Every pair of places coincides"),
    ],
)
def test_main_job_with_coinciding_places_warns_of_nothing(tmp_path, places, summary):
    (tmp_path / "p.csv").write_text("name,lat,lon\n" + places)
    done = orvik("--data", "p.csv", cwd=tmp_path, env={"PYTHONWARNINGS": "error"})
    assert (done.returncode, done.stderr) == (0, "")
    assert summary in done.stdout and "nan" not in done.stdout.lower()


@needs_plain_address_space
def test_main_job_out_of_memory_is_one_line(tmp_path):
    rows = "".join(f"p{i},{i % 170 - 85},{i % 360 - 180}\n" for i in range(30_000))
    (tmp_path / "p.csv").write_text("name,lat,lon\n" + rows)
    done = orvik("--data", "p.csv", cwd=tmp_path, preexec_fn=limit_address_space(4))
    assert_one_line_failure(done, 1, "not enough memory for two 30,000 x 30,000 distance matrices")


@needs_plain_address_space
@pytest.mark.parametrize("args", [["--top", 1], ["batch", "in.csv", "-o", "out.csv"]])
def test_a_worker_pool_that_cannot_start_costs_speed_not_results(tmp_path, args):
    (tmp_path / "in.csv").write_text("lat1,lon1,lat2,lon2\n" + "1,2,3,4\n" * 50_000)
    # Room for the interpreter and its libraries, not for thousands of stacks.
    done = orvik(
        *args, cwd=tmp_path, env={"RAYON_NUM_THREADS": "4000"}, preexec_fn=limit_address_space(3)
    )
    # The package computes on the calling thread instead, and says so once.
    assert done.returncode == 0, done.stderr
    warning, *rest = done.stderr.splitlines()
    assert warning.startswith("orvik: warning: cannot start worker threads")
    assert all("warning" not in line for line in rest), done.stderr
    if args[0] == "batch":
        assert (tmp_path / "out.csv").read_text().count("\n") == 50_001


# One spelling of numbers everywhere: what Python's float() takes beyond
# plain decimals ("1_0", digits of other scripts) is no number for a CSV
# reader, so it is none on the command line either.
@pytest.mark.parametrize("text", ["1_0", "\u0661\u0660", "0x10", "1e", "1.5.2"])
@pytest.mark.parametrize(
    "args",
    [
        ["distance", "{}", 0, 1, 1],
        ["destination", 0, 0, 45, "{}"],
        ["inverse", 0, "{}", 1, 1],
        ["line", 0, 0, "{}", 1, "--n", 3],
        ["line", 0, 0, 1, 1, "--spacing", "{}"],
        ["line", 0, 0, 1, 1, "--n", "{}"],
    ],
)
def test_numbers_on_the_command_line_are_plain_decimals(args, text):
    done = orvik(*(text if arg == "{}" else arg for arg in args))
    assert_one_line_failure(done, 2, f"{text!r} is not a")


@pytest.mark.parametrize("command", ["batch", "nearest"])
def test_numbers_in_csv_fields_are_plain_decimals(tmp_path, command):
    (tmp_path / "p.csv").write_text("lat,lon\n0,0\n")
    rows = ["1_0,0,0,1", "10,0,0,1", "\u0661,0,0,1"]
    (tmp_path / "in.csv").write_text("lat1,lon1,lat2,lon2\n" + "\n".join(rows) + "\n")
    args = ["--points", "p.csv", "--lat", "lat1", "--lon", "lon1"] if command == "nearest" else []
    done = orvik(command, "in.csv", *args, cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    results = [line.rsplit(",", 1)[1] for line in done.stdout.splitlines()[1:]]
    assert [bool(result) for result in results] == [False, True, False]
    assert "2 of 3 rows" in done.stderr and "row 1: column 'lat1': '1_0' is not" in done.stderr
    (tmp_path / "p.csv").write_text("lat,lon\n1_0,0\n")
    if command == "nearest":
        assert_one_line_failure(orvik(command, "in.csv", *args, cwd=tmp_path), 1, "p.csv: row 1")


FULL = "/dev/full"


@pytest.mark.skipif(not os.path.exists(FULL), reason="no /dev/full here")
@pytest.mark.parametrize("buffered", [True, False])
@pytest.mark.parametrize(
    "args",
    [
        ["distance", 0, 0, 1, 1],
        ["inverse", 0, 0, 1, 1, "--json"],
        ["destination", 0, 0, 45, 100],
        ["line", 0, 0, 1, 1, "--n", 5],
        ["--top", 1],
        ["--help"],
        ["--version"],
        ["nearest", "--help"],
        ["batch", "in.csv"],
        ["nearest", "in.csv", "--points", "in.csv", "--lat", "lat1", "--lon", "lon1",
         "--points-lat", "lat2", "--points-lon", "lon2"],
    ],
)  # fmt: skip
def test_a_full_standard_output_is_one_line(tmp_path, args, buffered):
    (tmp_path / "in.csv").write_text(PAIRS_CSV)
    with open(FULL, "w") as full:
        done = subprocess.run(
            [str(SCRIPT), *map(str, args)], stdout=full, stderr=subprocess.PIPE, text=True,
            cwd=tmp_path, env={**os.environ, "PYTHONUNBUFFERED": "" if buffered else "1"},
        )  # fmt: skip
    assert_one_line_failure(done, 1, "standard output: No space left on device", stdout=None)
