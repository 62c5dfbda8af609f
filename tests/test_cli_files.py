"""orvik batch and its files: where output goes, compression, failures of
files and streams, and signals.  Every failure is one line and leaves no
output file behind."""

import bz2
import gzip
import lzma
import os
import resource
import signal
import stat
import subprocess
import threading
import time
import zipfile
from contextlib import ExitStack

import pytest
from cli_support import PAIRS_CSV, SCRIPT, assert_one_line_failure, files_in, orvik

zstandard = pytest.importorskip("zstandard")


def zstd_decompress(data):
    return zstandard.ZstdDecompressor().decompressobj().decompress(data)


CODECS = {
    ".gz": (gzip.compress, gzip.decompress),
    ".bz2": (bz2.compress, bz2.decompress),
    ".xz": (lzma.compress, lzma.decompress),
    ".zst": (zstandard.ZstdCompressor().compress, zstd_decompress),
}


@pytest.fixture
def pairs(tmp_path):
    (tmp_path / "in.csv").write_text(PAIRS_CSV)
    return orvik("batch", "in.csv", cwd=tmp_path).stdout  # what every route must give


@pytest.mark.parametrize("suffix", CODECS)
def test_compressed_input_by_its_bytes_and_output_by_its_suffix(tmp_path, pairs, suffix):
    compress, decompress = CODECS[suffix]
    packed = compress(PAIRS_CSV.encode())
    (tmp_path / f"in.csv{suffix}").write_bytes(packed)
    assert orvik("batch", f"in.csv{suffix}", cwd=tmp_path).stdout == pairs
    assert orvik("batch", "-", stdin=packed, text=False).stdout.decode() == pairs
    done = orvik("batch", "in.csv", "-o", f"out.csv{suffix}", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert decompress((tmp_path / f"out.csv{suffix}").read_bytes()).decode() == pairs


def test_a_zip_of_one_file_is_read(tmp_path, pairs):
    with zipfile.ZipFile(tmp_path / "in.zip", "w") as archive:
        archive.writestr("pairs.csv", PAIRS_CSV)
    assert orvik("batch", "in.zip", cwd=tmp_path).stdout == pairs
    assert (
        orvik("batch", "-", stdin=(tmp_path / "in.zip").read_bytes(), text=False).stdout.decode()
        == pairs
    )


@pytest.mark.parametrize("args", [["in.csv.zst"], ["in.csv", "-o", "out.csv.zst"]])
def test_a_missing_codec_names_the_package(tmp_path, args):
    (tmp_path / "in.csv.zst").write_bytes(zstandard.ZstdCompressor().compress(PAIRS_CSV.encode()))
    (tmp_path / "in.csv").write_text(PAIRS_CSV)
    (tmp_path / "shim").mkdir()
    (tmp_path / "shim" / "zstandard.py").write_text("raise ImportError('not installed here')\n")
    done = orvik("batch", *args, cwd=tmp_path, env={"PYTHONPATH": str(tmp_path / "shim")})
    assert_one_line_failure(done, 1, "pip install zstandard")
    assert "out.csv.zst" not in files_in(tmp_path)


def _make_device(path):
    try:
        os.mknod(path, stat.S_IFCHR | 0o666, os.makedev(1, 3))  # a null device of our own
    except PermissionError:
        pytest.skip("cannot make a device node here")


@pytest.mark.parametrize("kind", ["fifo", "symlink", "device"])
def test_non_regular_outputs_are_written_through_not_replaced(tmp_path, pairs, kind):
    target = tmp_path / "target"
    received = []
    if kind == "fifo":
        os.mkfifo(target)
        reader = threading.Thread(target=lambda: received.append(target.read_text()))
        reader.start()
    elif kind == "symlink":
        (tmp_path / "real.csv").write_text("old content that is longer than the new one\n" * 100)
        target.symlink_to("real.csv")
    else:
        _make_device(target)
    done = orvik("batch", "in.csv", "-o", "target", "-q", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    mode = os.lstat(target).st_mode
    if kind == "fifo":
        reader.join(30)
        assert stat.S_ISFIFO(mode) and received == [pairs]
    elif kind == "symlink":
        assert stat.S_ISLNK(mode) and (tmp_path / "real.csv").read_text() == pairs
    else:
        assert stat.S_ISCHR(mode)
    assert not [name for name in files_in(tmp_path) if name.endswith(".part")]


def _truncated_gzip(folder):
    data = gzip.compress(PAIRS_CSV.encode() * 100)
    (folder / "t.csv.gz").write_bytes(data[: len(data) // 2])
    return ["t.csv.gz", "-o", "out.csv"]


def _plain_text_named_gz(folder):
    (folder / "x.gz").write_text(PAIRS_CSV)
    return ["x.gz", "-o", "out.csv"]


def _zip_of_two(folder):
    with zipfile.ZipFile(folder / "two.zip", "w") as archive:
        archive.writestr("a.csv", PAIRS_CSV)
        archive.writestr("b.csv", PAIRS_CSV)
    return ["two.zip", "-o", "out.csv"]


def _link_to_input(folder):
    (folder / "link.csv").symlink_to("in.csv")
    return ["in.csv", "-o", "link.csv"]


def _directory(folder):
    (folder / "sub").mkdir()
    return ["in.csv", "-o", "sub"]


@pytest.mark.parametrize(
    ("setup", "fragment"),
    [
        (lambda folder: ["in.csv", "-o", "."], ".: is a directory"),
        (lambda folder: ["in.csv", "-o", "new/"], "new/: names a directory"),
        (_directory, "sub: is a directory"),  # the output is named, not the input
        (lambda folder: ["in.csv", "-o", "/dev/full"], "/dev/full: No space left on device"),
        (_truncated_gzip, "t.csv.gz: Compressed file ended"),
        (_plain_text_named_gz, "x.gz: named like a gzip file but not gzip data"),
        (_zip_of_two, "two.zip: a zip archive must hold exactly one file, this one holds 2"),
        (_link_to_input, "link.csv: is the input file"),
    ],
)
def test_file_failures_are_one_line_and_leave_nothing(tmp_path, setup, fragment):
    (tmp_path / "in.csv").write_text(PAIRS_CSV)
    args = setup(tmp_path)
    if "/dev/full" in args and not os.path.exists("/dev/full"):
        pytest.skip("no /dev/full here")
    before = files_in(tmp_path)
    assert_one_line_failure(orvik("batch", *args, cwd=tmp_path), 1, fragment)
    assert files_in(tmp_path) == before
    assert (tmp_path / "in.csv").read_text() == PAIRS_CSV


def test_a_file_size_limit_is_one_line_and_leaves_nothing(tmp_path):
    (tmp_path / "in.csv").write_text(PAIRS_CSV + "1,2,3,4,row\n" * 5000)
    limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (16 << 10, 16 << 10))  # noqa: E731
    done = orvik("batch", "in.csv", "-o", "out.csv", cwd=tmp_path, preexec_fn=limit)
    assert_one_line_failure(done, 1, "out.csv: File too large")
    assert files_in(tmp_path) == ["in.csv"]


def _close(fd):
    return lambda: os.close(fd)


@pytest.mark.parametrize(
    ("args", "closed", "fragment"),
    [
        (["batch", "-"], 0, "standard input is closed"),
        (["batch", "in.csv"], 1, "standard output is closed"),
        (["distance", 0, 0, 1, 1], 1, "standard output is closed"),
        (["inverse", 0, 0, 1, 1, "--json"], 1, "standard output is closed"),
        (["--top", 1], 1, "standard output is closed"),
    ],
)
def test_closed_standard_streams_are_failures(tmp_path, args, closed, fragment):
    (tmp_path / "in.csv").write_text(PAIRS_CSV)
    done = orvik(*args, cwd=tmp_path, preexec_fn=_close(closed))
    assert_one_line_failure(done, 1, fragment, stdout=None)


@pytest.mark.parametrize("number", [signal.SIGTERM, signal.SIGHUP, signal.SIGINT])
def test_signals_remove_the_partial_output(tmp_path, number):
    process = subprocess.Popen(
        [str(SCRIPT), "batch", "-", "-o", "out.csv"],
        cwd=tmp_path, stdin=subprocess.PIPE, stderr=subprocess.PIPE,
        # As from a shell: the test runner itself may ignore SIGHUP (nohup).
        preexec_fn=lambda: signal.signal(number, signal.SIG_DFL),
    )  # fmt: skip
    # More than orvik reads before it opens the output; then the pipe stays
    # open and quiet, as a slow producer's would.
    process.stdin.write(b"lat1,lon1,lat2,lon2\n" + b"1,2,3,4\n" * 200_000)
    process.stdin.flush()
    deadline = time.monotonic() + 60
    while not [n for n in files_in(tmp_path) if n.endswith(".part")]:
        assert time.monotonic() < deadline and process.poll() is None
        time.sleep(0.05)
    process.send_signal(number)
    try:
        status = process.wait(timeout=30)
    finally:
        process.kill()
        process.stdin.close()
    errors = process.stderr.read().decode()
    assert status == 128 + number, errors
    assert len(errors.splitlines()) == 1 and "Traceback" not in errors
    assert files_in(tmp_path) == []


# What a rewrite of the input would lose: the byte-order mark, CRLF line
# breaks and a bad row's extra field.
KEEPSAKE = b"\xef\xbb\xbflat1,lon1,lat2,lon2\r\n1,2,3,4\r\n5,6,7,8,extra\r\n"


@pytest.mark.parametrize(
    "how",
    ["same path", "other spelling", "hard link", "standard input", "standard output"],
)
def test_the_output_cannot_be_the_input(tmp_path, how):
    source = tmp_path / "in.csv"
    source.write_bytes(KEEPSAKE)
    args, streams = ["batch", "in.csv", "-o", "in.csv"], {}
    if how == "same path":
        pass
    elif how == "other spelling":
        args[-1] = f"../{tmp_path.name}/in.csv"
    elif how == "hard link":
        os.link(source, tmp_path / "hard.csv")
        args[-1] = "hard.csv"
    elif how == "standard input":
        args[1] = "-"
        streams["stdin"] = open(source, "rb")  # noqa: SIM115
    elif how == "standard output":
        args[2:] = []
        streams["stdout"] = open(source, "ab")  # noqa: SIM115 (orvik ... >> in.csv)
    with ExitStack() as stack:
        for stream in streams.values():
            stack.enter_context(stream)
        done = subprocess.run(
            [str(SCRIPT), *args], cwd=tmp_path, stderr=subprocess.PIPE, text=True,
            **{"stdout": subprocess.PIPE, **streams}, timeout=60,
        )  # fmt: skip
    output = "standard output" if how == "standard output" else args[-1]
    assert_one_line_failure(done, 1, f"{output}: is the input file; write to another file", stdout=None)
    assert source.read_bytes() == KEEPSAKE
    assert not [name for name in files_in(tmp_path) if name.endswith(".part")]


def test_gzip_output_names_the_file_it_holds(tmp_path):
    (tmp_path / "in.csv").write_text(PAIRS_CSV)
    assert orvik("batch", "in.csv", "-o", "out.csv.gz", cwd=tmp_path).returncode == 0
    header = (tmp_path / "out.csv.gz").read_bytes()
    assert header[3] & 0x08  # FNAME: the original name follows the fixed header
    assert header[10 : header.index(b"\0", 10)] == b"out.csv"
