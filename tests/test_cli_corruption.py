"""orvik batch and orvik nearest against damaged files: real CSV files
truncated, with fields added or lost, stray bytes and other encodings.
Whatever the damage, the input is left as it was, and the output is either
complete, with its bad rows counted, or absent, with a one-line error and a
non-zero status.  orvik line against damaged numbers: every point or
nothing."""

import csv
import io
import itertools
import math
import random
from importlib import resources

import pyarrow as pa
import pyarrow.csv as pcsv
import pyarrow.parquet as pq
import pytest
from cli_support import files_in, limit_address_space, needs_plain_address_space, orvik

from orvik.cli._csv import record_ends


def pairs_csv():
    """Routes between the shipped airports, some notes needing quotes."""
    table = resources.files("orvik").joinpath("data", "airports.csv").read_text(encoding="utf-8")
    airports = list(csv.DictReader(io.StringIO(table)))[:40]
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n")
    writer.writerow(["from", "lat1", "lon1", "to", "lat2", "lon2", "note"])
    for k, (a, b) in enumerate(itertools.combinations(airports, 2)):
        note = ["", f"{a['name']}, then {b['name']}", 'the "long" way\nback', "Zürich–Genève"][
            k % 4
        ]
        writer.writerow([a["iata"], a["lat"], a["lon"], b["iata"], b["lat"], b["lon"], note])
    return out.getvalue().encode()


def truncate(data, rng):
    return data[: rng.randrange(len(data))]


def add_field(data, rng):
    at = data.index(b"\n", rng.randrange(len(data) - 1))
    return data[:at] + b",extra" + data[at:]


def drop_field(data, rng):
    at = data.index(b",", rng.randrange(len(data) // 2))
    end = data.index(b",", at + 1)
    return data[:at] + data[end:]


def stray_bytes(data, rng):
    for _ in range(rng.randint(1, 5)):
        at = rng.randrange(len(data))
        data = (
            data[:at]
            + rng.choice([b'"', b",", b"\n", b"\r", b"\x00", b"\xff", b"\xc3", b"\xef\xbb\xbf"])
            + data[at:]
        )
    return data


def reencode(data, rng):
    return data.decode(errors="replace").encode(
        rng.choice(["latin-1", "utf-16", "utf-8-sig", "cp1252"]), errors="replace"
    )


DAMAGE = [truncate, add_field, drop_field, stray_bytes, reencode]


@pytest.mark.parametrize("seed", range(24))
def test_damaged_input_gives_complete_output_or_none(tmp_path, seed):
    rng = random.Random(seed)
    data = pairs_csv()
    for damage in rng.sample(DAMAGE, rng.randint(1, 3)):
        data = damage(data, rng)
    (tmp_path / "in.csv").write_bytes(data)
    output = rng.choice(["out.csv", "out.parquet"])
    args = ["batch", "in.csv", "-o", output, "--chunk-size", rng.choice([1, 7, 500, 100_000])]
    done = orvik(*args, "--strict" if rng.random() < 0.2 else "--method=geodesic", cwd=tmp_path)

    assert (tmp_path / "in.csv").read_bytes() == data
    assert "Traceback" not in done.stderr and len(done.stderr.splitlines()) <= 1, done.stderr
    if done.returncode != 0:
        assert done.returncode == 1 and done.stderr.startswith("orvik: error: "), done.stderr
        assert files_in(tmp_path) == ["in.csv"]
        return
    assert files_in(tmp_path) == sorted(["in.csv", output])
    rows, header, empty = read_output(tmp_path / output)
    assert header[-1] == "distance_km"
    words = done.stderr.split()
    if "bad" in words:  # "orvik: N of M rows are bad ..."
        assert (int(words[1].replace(",", "")), int(words[3].replace(",", ""))) == (empty, rows)
    else:
        assert empty == 0 and done.stderr == f"orvik: wrote {rows:,} rows to {output}\n"


def airports_csv():
    return resources.files("orvik").joinpath("data", "airports.csv").read_bytes()


def damaged(data, rng):
    for damage in rng.sample(DAMAGE, rng.randint(1, 3)):
        data = damage(data, rng)
    return data


@pytest.mark.parametrize("seed", range(16))
def test_nearest_over_damaged_files_gives_complete_output_or_none(tmp_path, seed):
    rng = random.Random(seed)
    queries, places = pairs_csv(), airports_csv()
    which = rng.choice(["queries", "places", "both"])
    if which != "places":
        queries = damaged(queries, rng)
    if which != "queries":
        places = damaged(places, rng)
    (tmp_path / "q.csv").write_bytes(queries)
    (tmp_path / "p.csv").write_bytes(places)
    output = rng.choice(["out.csv", "out.parquet"])
    k = rng.choice([1, 3, 500])
    done = orvik(
        "nearest", "q.csv", "--points", "p.csv", "--lat", "lat1", "--lon", "lon1", "--name-column",
        "iata", "-o", output, "--k", k, "--chunk-size", rng.choice([1, 7, 500, 100_000]), cwd=tmp_path,
    )  # fmt: skip

    assert (tmp_path / "q.csv").read_bytes() == queries
    assert (tmp_path / "p.csv").read_bytes() == places
    # A --k beyond the places is noted on a line of its own.
    lines = [line for line in done.stderr.splitlines() if not line.startswith("orvik: note: --k")]
    assert "Traceback" not in done.stderr and len(lines) <= 1, done.stderr
    if done.returncode != 0:
        assert done.returncode == 1 and lines[0].startswith("orvik: error: "), done.stderr
        assert files_in(tmp_path) == ["p.csv", "q.csv"]
        return
    assert files_in(tmp_path) == sorted(["p.csv", "q.csv", output])
    rows, header, empty = read_output(tmp_path / output)
    found = (len(header) - len(header[: header.index("nearest_1")])) // 2
    assert header[-2:] == [f"nearest_{found}", f"distance_{found}_km"]
    assert found == k or (found < k and f"finding {found}" in done.stderr), done.stderr
    # Every good row finds all k places, so a row without them is a bad one.
    words = lines[0].split()
    if "bad" in words:
        assert (int(words[1].replace(",", "")), int(words[3].replace(",", ""))) == (empty, rows)
    else:
        assert empty == 0 and lines[0] == f"orvik: wrote {rows:,} rows to {output}"


# Damage to numbers as typed: what a slip of the keyboard or a paste makes.
SLIPS = ["", "_", ".", "-", "e", "e999", "x", " ", "\u0661", "nan", "1" * 400, "0" * 30]


@needs_plain_address_space
@pytest.mark.parametrize("seed", range(24))
def test_line_with_damaged_numbers_prints_every_point_or_nothing(seed):
    rng = random.Random(seed)
    args = ["52.52", "13.405", "40.71", "-74.006", "--n", "50"]
    spacing = rng.random() < 0.3
    if spacing:
        args[-2:] = ["--spacing", rng.choice(["100", "25", "0.5"]), "--unit", "km"]
    for _ in range(rng.randint(1, 3)):
        k = rng.choice([0, 1, 2, 3] if spacing else [0, 1, 2, 3, 5])
        at = rng.randrange(len(args[k]) + 1)
        args[k] = args[k][:at] + rng.choice(SLIPS) + args[k][at + rng.randint(0, 2) :]
    # A count of points too large for memory fails at once under a limit.
    done = orvik("line", *args, timeout=60, preexec_fn=limit_address_space(4))

    assert "Traceback" not in done.stderr, done.stderr
    if done.returncode != 0:
        assert done.returncode in (1, 2) and done.stdout == "", done.stderr
        assert len(done.stderr.splitlines()) == 1 and done.stderr.startswith("orvik"), done.stderr
        return
    assert done.stderr == ""
    lines = done.stdout.splitlines()
    assert lines[0] == "lat,lon,distance_km"
    points = [[float(v) for v in line.split(",")] for line in lines[1:]]
    assert all(len(p) == 3 and all(map(math.isfinite, p)) for p in points)
    lat, lon = float(args[0]), float(args[1])
    # The line starts at the start, its longitude brought into [-180, 180].
    assert points[0][0] == lat and abs(math.remainder(points[0][1] - lon, 360)) < 1e-9 * max(1, abs(lon))
    if "--n" in args:
        assert len(points) == int(args[args.index("--n") + 1])
    distances = [p[2] for p in points]
    assert distances == sorted(distances)


def read_output(path):
    """Rows, header and how many rows have no distance."""
    if path.suffix == ".parquet":
        table = pq.read_table(path)
        distances = table.column(table.num_columns - 1).to_pylist()
        return table.num_rows, table.schema.names, sum(d != d for d in distances)
    lines = list(csv.reader(io.StringIO(path.read_text(encoding="utf-8"), newline="")))
    assert {len(line) for line in lines[1:]} <= {len(lines[0])}  # nothing shifted
    return len(lines) - 1, lines[0], sum(line[-1] == "" for line in lines[1:])


# Fields as Arrow reads them, quotes inside unquoted fields included.
FIELDS = [
    "a",
    "",
    "1.5",
    " x ",
    'ab"c',
    'x""y',
    '"p,q"',
    '"line\nbreak"',
    '"say ""hi"""',
    '"cr\r\nlf"',
    '"ab"c"d',
]


def arrow_rows(data):
    if not data:
        return []
    table = pcsv.read_csv(
        pa.py_buffer(data),
        read_options=pcsv.ReadOptions(column_names=["a", "b", "c"], use_threads=False),
        parse_options=pcsv.ParseOptions(newlines_in_values=True),
        convert_options=pcsv.ConvertOptions(column_types=dict.fromkeys("abc", pa.string())),
    )
    return table.to_pylist()


@pytest.mark.parametrize("seed", range(40))
def test_blocks_are_cut_where_arrow_ends_a_record(seed):
    rng = random.Random(seed)
    lines = []
    for _ in range(rng.randint(1, 30)):
        lines.append(",".join(rng.choice(FIELDS) for _ in range(3)) if rng.random() > 0.1 else "")
    data = "".join(line + rng.choice(["\n", "\r\n"]) for line in lines).encode()
    whole = arrow_rows(data)
    for cut in record_ends(data):
        assert arrow_rows(data[:cut]) + arrow_rows(data[cut:]) == whole, (data, cut)
