"""orvik batch and the rows it writes: every row in its place with its text
as it was, bad rows counted (and fatal under --strict), and Parquet with one
schema for the whole file."""

import csv
import io
from decimal import Decimal

import pyarrow as pa
import pyarrow.parquet as pq
import pytest
from cli_support import assert_one_line_failure, files_in, orvik

from orvik import distance

HEADER = ["lat1", "lon1", "lat2", "lon2", "note"]


def csv_text(rows):
    out = io.StringIO()
    csv.writer(out, lineterminator="\n").writerows(rows)
    return out.getvalue()


def km(*points, method=distance.geodesic_distance):
    return method(*points) / 1000.0


@pytest.mark.parametrize("chunk_size", [1, 1000])
@pytest.mark.parametrize(
    ("row", "fields", "note"),
    [
        ("52.52,13.405,48.8566,2.3522,a,", 6, "a"),  # a trailing comma
        ("52.52,13.405,48.8566,2.3522,a,b,c", 7, "a"),
        ("52.52,13.405,48.8566", 3, ""),
    ],
)
def test_rows_with_the_wrong_field_count_are_bad_rows_in_place(
    tmp_path, row, fields, note, chunk_size
):
    lines = [",".join(HEADER), "0,0,0,1,first", row, "0,0,1,0,last"]
    (tmp_path / "in.csv").write_text("\n".join(lines) + "\n")
    done = orvik("batch", "in.csv", "--chunk-size", chunk_size, cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    out = list(csv.reader(io.StringIO(done.stdout)))
    # The header's columns stay the columns; the bad row keeps its place.
    assert out[0] == [*HEADER, "distance_km"] and {len(r) for r in out} == {6}
    assert [r[4] for r in out[1:]] == ["first", note, "last"]
    assert [r[5] for r in out[1:]] == [repr(km(0, 0, 0, 1)), "", repr(km(0, 0, 1, 0))]
    assert (
        "1 of 3 rows" in done.stderr
        and f"row 2: {fields} fields where the header has 5" in done.stderr
    )
    strict = orvik("batch", "in.csv", "-o", "out.csv", "--strict", cwd=tmp_path)
    assert_one_line_failure(strict, 1, f"in.csv: row 2: {fields} fields")
    assert files_in(tmp_path) == ["in.csv"]


TEXTS = [
    "plain",
    "comma, inside",
    'a "quote"',
    "line\nbreak",
    "crlf\r\nbreak",
    "  spaced  ",
    "",
    "007",
    "Ünï",
]


def test_text_comes_back_verbatim_and_quoted_only_where_needed(tmp_path):
    # Coordinates keep their spelling too, whatever spelling parses.
    rows = [["1.50", "+2", " 3 ", "4e0", text] for text in TEXTS]
    (tmp_path / "in.csv").write_text(csv_text([HEADER, *rows]), newline="")
    done = orvik("batch", "in.csv", "--chunk-size", 4, "--unit", "m", cwd=tmp_path, text=False)
    assert done.returncode == 0, done.stderr
    text = done.stdout.decode()
    out = list(csv.reader(io.StringIO(text, newline="")))
    assert [r[:-1] for r in out] == [HEADER, *rows]
    assert {r[-1] for r in out[1:]} == {repr(distance.geodesic_distance(1.5, 2, 3, 4))}
    # Exactly the minimal quoting of what was read, ending with a line break.
    assert text == csv_text(out)


def test_csv_to_parquet_settles_each_column_type_over_the_whole_file(tmp_path):
    rows = [
        ["id", "code", "value", "label", "empty", *HEADER[:4]],
        ["1", "007", "10", "5", "", "0", "0", "0", "1"],
        ["2", "012", "", "6", "", "0", "0", "1", "0"],
        [
            "3",
            "100",
            "2.5",
            "x",
            "",
            "1",
            "1",
            "2",
            "2",
        ],  # only the last chunk has text and fractions
    ]
    (tmp_path / "in.csv").write_text(csv_text(rows))
    done = orvik("batch", "in.csv", "-o", "out.parquet", "--chunk-size", 1, "-q", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    table = pq.read_table(tmp_path / "out.parquet")
    types = dict(zip(table.schema.names, table.schema.types, strict=True))
    assert types == {
        "id": pa.int64(), "code": pa.string(), "value": pa.float64(), "label": pa.string(),
        "empty": pa.string(), "lat1": pa.int64(), "lon1": pa.int64(), "lat2": pa.int64(),
        "lon2": pa.int64(), "distance_km": pa.float64(),
    }  # fmt: skip
    assert table["code"].to_pylist() == ["007", "012", "100"]  # codes with leading zeros stay text
    assert table["value"].to_pylist() == [10.0, None, 2.5]
    assert table["distance_km"].to_pylist() == [km(0, 0, 0, 1), km(0, 0, 1, 0), km(1, 1, 2, 2)]


def test_booleans_are_not_coordinates(tmp_path):
    table = pa.table(
        {"lat1": [True, False], "lon1": [0.0, 0.0], "lat2": [1.0, 1.0], "lon2": [1, 1]}
    )
    pq.write_table(table, tmp_path / "in.parquet")
    done = orvik("batch", "in.parquet", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines()[1:] == ["true,0,1,1,", "false,0,1,1,"]
    assert "2 of 2 rows" in done.stderr and "column 'lat1' holds bool values" in done.stderr


@pytest.mark.parametrize("output", ["out.csv", "out.parquet"])
def test_non_finite_distances_are_bad_rows_in_every_mode(tmp_path, output):
    # Finite coordinates whose great-circle distance is not finite.
    (tmp_path / "in.csv").write_text("lat1,lon1,lat2,lon2\n0,0,0,1\n0,1e308,0,-1e308\n")
    args = ["batch", "in.csv", "-o", output, "--method", "great-circle"]
    done = orvik(*args, cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert (
        "1 of 2 rows" in done.stderr and "row 2: the distance is not a finite number" in done.stderr
    )
    assert_one_line_failure(orvik(*args, "--strict", cwd=tmp_path), 1, "row 2: the distance is not")


def test_quiet_means_no_summary_even_of_bad_rows(tmp_path):
    (tmp_path / "in.csv").write_text("lat1,lon1,lat2,lon2\nx,0,0,1\n")
    for output in ("-", "out.csv"):
        done = orvik("batch", "in.csv", "-o", output, "-q", cwd=tmp_path)
        assert (done.returncode, done.stderr) == (0, "")


# Columns of CSV text and the Parquet type that holds each value exactly.
EXACT = {
    "too_long_for_int64": (["12345678901234567891", "1"], pa.string()),
    "int64_beside_fraction": (["9007199254740993", "1.5"], pa.string()),
    "below_int64": (["-9223372036854775809", "0"], pa.string()),
    "overflows_to_inf": (["1e400", "1"], pa.string()),
    "underflows_to_zero": (["1e-400", "1"], pa.string()),
    "seventeen_digits_rounded": (["0.30000000000000001", "1"], pa.string()),
    "hexadecimal": (["0x10", "1"], pa.string()),
    "int64_extremes": (["9223372036854775807", "-9223372036854775808"], pa.int64()),
    "shortest_floats": (["0.30000000000000004", "1e-300", "5e-324", "1.7976931348623157e308"], pa.float64()),
    "spellings_of_one_value": (["1.50", "15e-1", "+1.5", "-0.0", "1500"], pa.float64()),
    "ints_exact_as_floats": (["9007199254740992", "0.5"], pa.float64()),
    "inf_and_nan_spelled_out": (["inf", "-Infinity", "nan", "2"], pa.float64()),
    # A later chunk's fraction would round an earlier chunk's integer.
    "rounded_by_a_later_chunk": (["9007199254740993", "2.5"], pa.string()),
}


def same_number(stored, text):
    if text.lstrip("+-").lower() in ("inf", "infinity", "nan"):
        return repr(stored) == repr(float(text))
    return Decimal(repr(stored)) == Decimal(text)


@pytest.mark.parametrize("chunk_size", [1, 1000])
def test_csv_to_parquet_numbers_only_where_every_value_is_kept(tmp_path, chunk_size):
    height = max(len(texts) for texts, _ in EXACT.values())
    padded = {name: texts + [""] * (height - len(texts)) for name, (texts, _) in EXACT.items()}
    rows = [[column[k] for column in padded.values()] + ["0", "0", "0", "1"] for k in range(height)]
    (tmp_path / "in.csv").write_text(csv_text([[*EXACT, *HEADER[:4]], *rows]))
    done = orvik("batch", "in.csv", "-o", "out.parquet", "--chunk-size", chunk_size, "-q", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    table = pq.read_table(tmp_path / "out.parquet")
    for name, (texts, kind) in EXACT.items():
        assert table.schema.field(name).type == kind, name
        stored = table[name].to_pylist()
        assert stored[len(texts) :] == [None] * (height - len(texts)), name
        if kind == pa.string():
            assert stored[: len(texts)] == texts, name
        else:
            assert all(map(same_number, stored, texts)), (name, stored)


def test_empty_fields_and_blank_lines_are_kept_as_rows(tmp_path):
    # A blank line is a row of empty fields: kept in its place, and bad.
    text = "lat1,lon1,lat2,lon2,note\r\n0,0,0,1,a\r\n\r\n0,0,1,0,\n\n0,0,1,1,c\n"
    (tmp_path / "in.csv").write_text(text, newline="")
    done = orvik("batch", "in.csv", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    out = list(csv.reader(io.StringIO(done.stdout)))
    assert [r[:5] for r in out[1:]] == [
        ["0", "0", "0", "1", "a"], [""] * 5, ["0", "0", "1", "0", ""], [""] * 5, ["0", "0", "1", "1", "c"]
    ]  # fmt: skip
    assert "2 of 5 rows" in done.stderr and "row 2: column 'lat1' is missing" in done.stderr
    done = orvik("batch", "in.csv", "-o", "out.parquet", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    table = pq.read_table(tmp_path / "out.parquet")
    # Empty fields are nulls, in text columns too.
    assert table["note"].to_pylist() == ["a", None, None, None, "c"]
    assert table["lat1"].to_pylist() == [0, None, 0, None, 0]
