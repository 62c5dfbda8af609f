"""The bytes orvik batch reads and writes: files, standard input and output,
compressed or not.

Input is decompressed by what its first bytes say it is, so compressed
standard input works as compressed files do.  Output is compressed by its
suffix.  A new or regular output file is written to a temporary file beside
it and renamed into place when the run succeeds; anything else (a device, a
FIFO, a symbolic link such as /dev/stdout) is written through, since
renaming over it would replace it.
"""

from __future__ import annotations

import io
import os
import shutil
import stat
import sys
import tempfile
from collections.abc import Iterator, Sequence
from contextlib import ExitStack, contextmanager, suppress
from typing import IO, Any, cast

from orvik.cli._errors import CliError, describe, reading
from orvik.cli._signals import wait_readable

# Each codec's first bytes.  bzip2 streams also carry a block-size digit and
# a block (or end-of-stream) signature, checked so that text starting with
# "BZh" is not taken for one.
_MAGIC = {
    "gzip": (b"\x1f\x8b",),
    "xz": (b"\xfd7zXZ\x00",),
    "zstd": (b"\x28\xb5\x2f\xfd",),
    "zip": (b"PK\x03\x04", b"PK\x05\x06"),
}
_BZIP2_SIGNATURES = (b"1AY&SY", b"\x17rE8P\x90")
SUFFIXES = {".gz": "gzip", ".bz2": "bz2", ".xz": "xz", ".zst": "zstd", ".zip": "zip"}
# Errors of damaged compressed data, by the module that raises them; gzip's
# BadGzipFile and bz2's "Invalid data stream" are OSErrors.
_CODEC_ERRORS = {
    "zlib": "error",
    "zipfile": "BadZipFile",
    "lzma": "LZMAError",
    "zstandard": "ZstdError",
}


def label(path: str) -> str:
    return "standard input" if path == "-" else path


def suffix_codec(path: str) -> str | None:
    return SUFFIXES.get(os.path.splitext(path)[1].lower())


def sniff(head: bytes) -> str | None:
    """The codec whose signature `head` starts with, if any."""
    for codec, signatures in _MAGIC.items():
        if head.startswith(signatures):
            return codec
    if head[:3] == b"BZh" and head[3:4].isdigit() and head[4:10] in _BZIP2_SIGNATURES:
        return "bz2"
    return None


class _Replay(io.RawIOBase):
    """A stream that gives back bytes already read from it, then the rest."""

    def __init__(self, head: bytes, rest: Any) -> None:
        super().__init__()
        self._head = memoryview(head)
        self._rest = rest

    def readable(self) -> bool:
        return True

    def readinto(self, buffer: Any) -> int:
        if self._head:
            n = min(len(buffer), len(self._head))
            buffer[:n] = self._head[:n]
            self._head = self._head[n:]
            return n
        return int(self._rest.readinto(buffer) or 0)


class _Pipe(io.RawIOBase):
    """A pipe, FIFO or terminal read so that a signal never waits for it
    (see _signals)."""

    def __init__(self, fd: int) -> None:
        super().__init__()
        self._fd = fd

    def readable(self) -> bool:
        return True

    def readinto(self, buffer: Any) -> int:
        wait_readable(self._fd)
        return os.readv(self._fd, [buffer])


def read_head(stream: Any, size: int) -> bytes:
    """Up to `size` bytes, fewer only at the end of the stream (a pipe hands
    out what it has, so one read may give less)."""
    parts = []
    while size > 0:
        # In pieces, so that a large block costs memory only as it fills.
        part = stream.read(min(size, 1 << 20))
        if not part:
            break
        parts.append(part)
        size -= len(part)
    return b"".join(parts)


class Input:
    """An input file or standard input, readable from the start as often as
    needed: a stream that cannot seek is copied to a temporary file first
    when it must be read twice or is a zip archive."""

    def __init__(self, path: str, stack: ExitStack, *, twice: bool) -> None:
        self.path = path
        self.label = label(path)
        self._stack = stack
        with self.errors():
            raw = self._open_raw(path)
            self._seekable = raw.seekable()
            # Standard input may start part-way into a file.
            self._start = raw.tell() if self._seekable else 0
            self.size = os.fstat(raw.fileno()).st_size if self._seekable else None
            head = read_head(raw, 16)
            self.codec = sniff(head)
            claimed = suffix_codec(path)
            if claimed and claimed != self.codec:
                raise CliError(f"{self.label}: named like a {claimed} file but not {claimed} data")
            if not self._seekable and (twice or self.codec == "zip"):
                raw = self._spool(head, raw)
            elif not self._seekable:
                raw = cast(IO[bytes], _Replay(head, raw))
        self._raw = raw
        self._reads = 0

    def position(self) -> int:
        """How far into the stored (maybe compressed) file reading has got."""
        return self._raw.tell() - self._start if self._seekable else 0

    def open(self) -> IO[bytes]:
        """The decompressed bytes, from the start."""
        if self._reads and not self._raw.seekable():
            raise AssertionError("a stream read once cannot be read again")
        self._reads += 1
        with self.errors():
            if self._raw.seekable():
                self._raw.seek(self._start)
            if self.codec is None:
                return self._raw
            return self._stack.enter_context(decompressor(self.codec, self._raw, self.label))

    @contextmanager
    def errors(self) -> Iterator[None]:
        """Reports a failure to read as one line naming the input."""
        try:
            with reading(self.label):
                yield
        except (OSError, EOFError) as error:
            raise CliError(f"{self.label}: {describe(error)}") from None
        except Exception as error:
            if not _is_codec_error(error):
                raise
            raise CliError(f"{self.label}: damaged {self.codec} data: {describe(error)}") from None

    def _open_raw(self, path: str) -> IO[bytes]:
        if path != "-":
            raw: IO[bytes] = self._stack.enter_context(open(path, "rb"))
        elif sys.stdin is None:
            raise CliError("standard input is closed")
        else:
            raw = sys.stdin.buffer
        if raw.seekable():
            return raw
        # Nothing has read standard input yet, so its buffer is empty.
        return cast(IO[bytes], _Pipe(raw.fileno()))

    def _spool(self, head: bytes, raw: IO[bytes]) -> IO[bytes]:
        copy = self._stack.enter_context(tempfile.TemporaryFile(prefix="orvik-"))
        copy.write(head)
        shutil.copyfileobj(raw, copy, 1 << 20)
        self._start = 0
        return copy


def _is_codec_error(error: Exception) -> bool:
    for module, name in _CODEC_ERRORS.items():
        loaded = sys.modules.get(module)
        if loaded is not None and isinstance(error, getattr(loaded, name, ())):
            return True
    return False


def decompressor(codec: str, raw: IO[bytes], name: str) -> IO[bytes]:
    """A stream of `raw` decompressed with `codec`."""
    if codec == "gzip":
        import gzip

        return cast(IO[bytes], gzip.GzipFile(fileobj=raw, mode="rb"))
    if codec == "bz2":
        bz2 = _stdlib_codec("bz2")
        return bz2.BZ2File(raw, "rb")  # type: ignore[no-any-return]
    if codec == "xz":
        lzma = _stdlib_codec("lzma")
        return lzma.LZMAFile(raw, "rb")  # type: ignore[no-any-return]
    if codec == "zstd":
        return _zstandard().ZstdDecompressor().stream_reader(raw, read_across_frames=True)  # type: ignore[no-any-return]
    return _zip_member(raw, name)


def _zip_member(raw: IO[bytes], name: str) -> IO[bytes]:
    import zipfile

    archive = zipfile.ZipFile(raw)
    members = [m for m in archive.infolist() if not m.is_dir()]
    if len(members) != 1:
        raise CliError(
            f"{name}: a zip archive must hold exactly one file, this one holds {len(members)}"
        )
    return archive.open(members[0])


def compressor(codec: str, raw: IO[bytes], path: str) -> IO[bytes]:
    """A stream compressing into `raw` with `codec`, at the level its usual
    command-line tool uses.  gzip records the name of the file it holds,
    which `gzip -N` restores: that of `path`, the output's final name,
    rather than the temporary file's."""
    if codec == "gzip":
        import gzip

        return cast(
            IO[bytes],
            gzip.GzipFile(filename=path, fileobj=raw, mode="wb", compresslevel=6, mtime=0),
        )
    if codec == "bz2":
        return _stdlib_codec("bz2").BZ2File(raw, "wb")  # type: ignore[no-any-return]
    if codec == "xz":
        return _stdlib_codec("lzma").LZMAFile(raw, "wb")  # type: ignore[no-any-return]
    if codec == "zstd":
        return _zstandard().ZstdCompressor().stream_writer(raw, closefd=False)  # type: ignore[no-any-return]
    raise CliError(f"{codec} output is not supported: use .gz, .bz2, .xz or .zst")


def _stdlib_codec(module: str) -> Any:
    try:
        return __import__(module)
    except ImportError:
        raise CliError(f"this Python was built without the {module} module") from None


def check_codec(codec: str) -> None:
    """Fails now, not after the input was read, when `codec` is missing."""
    if codec == "zstd":
        _zstandard()
    elif codec == "gzip":
        import gzip  # noqa: F401
    elif codec in ("bz2", "xz"):
        _stdlib_codec("lzma" if codec == "xz" else "bz2")


def _zstandard() -> Any:
    try:
        import zstandard
    except ImportError:
        raise CliError(".zst files need the zstandard package: pip install zstandard") from None
    return zstandard


class Output:
    """Where the result goes, as bytes.  Use as a context manager: the
    output is complete when the block completes, and absent (for a new or
    regular file) when it fails.  Failures name the output."""

    def __init__(self, path: str) -> None:
        self.path = path
        self.label = "standard output" if path == "-" else path
        self.codec = None if path == "-" else suffix_codec(path)
        self.through = path == "-" or _writes_through(path)

    @contextmanager
    def open(self) -> Iterator[IO[bytes]]:
        stack = ExitStack()
        with self.errors():
            stream = self._open(stack)
        try:
            yield stream
            with self.errors():
                stream.flush()
                stack.close()
        except BaseException as error:
            # Removes a temporary file; a failure to close on the way out
            # must not hide the failure that stopped the run.
            with suppress(Exception):
                stack.__exit__(type(error), error, error.__traceback__)
            raise

    def _open(self, stack: ExitStack) -> IO[bytes]:
        if self.path == "-":
            stream = self._stdout()
        elif self.through:
            stream = stack.enter_context(open(self.path, "wb"))
        else:
            stream = stack.enter_context(self._replacing())
        if self.codec is not None:
            # Closed, and so finished, before the file is renamed into place.
            stream = stack.enter_context(compressor(self.codec, stream, self.path))
        return stream

    @contextmanager
    def errors(self) -> Iterator[None]:
        """Reports a failure to write as one line naming the output."""
        try:
            yield
        except (CliError, BrokenPipeError):
            raise
        except FileNotFoundError:
            raise CliError(f"{self.label}: no such directory") from None
        except PermissionError:
            raise CliError(f"{self.label}: permission denied") from None
        except OSError as error:
            if self.path == "-":
                silence_stdout()
            raise CliError(f"{self.label}: {describe(error)}") from None

    def _stdout(self) -> IO[bytes]:
        if sys.stdout is None:
            raise CliError("standard output is closed")
        sys.stdout.flush()
        return sys.stdout.buffer

    @contextmanager
    def _replacing(self) -> Iterator[IO[bytes]]:
        """A temporary file beside the output, renamed over it at the end;
        removed instead if the block fails, or a signal stops the run."""
        path = self.path
        handle = tempfile.NamedTemporaryFile(
            dir=os.path.dirname(os.path.abspath(path)),
            prefix=f".{os.path.basename(path)}.",
            suffix=".part",
            delete=False,
        )
        done = False
        try:
            # Temporary files are private (0600); the result gets the usual mode.
            umask = os.umask(0)
            os.umask(umask)
            os.chmod(handle.name, 0o666 & ~umask)
            with handle:
                yield handle
            os.replace(handle.name, path)
            done = True
        finally:
            if not done:
                _remove(handle.name)


def refuse_overwriting(output: str, inputs: Sequence[str]) -> None:
    """Refuses an output that is one of the inputs, by any name (a link to
    it, or standard output redirected to it): written through, it would be
    destroyed before it is read; replaced, the run's rewriting of it (bad
    rows cut to the header's width, line breaks and byte-order mark as
    orvik writes them) would take its place."""
    target = _regular_file(output, sys.stdout)
    if target is None:
        return
    for path in inputs:
        if _regular_file(path, sys.stdin) == target:
            named = "standard output" if output == "-" else output
            raise CliError(f"{named}: is the input file; write to another file")


def _regular_file(path: str, standard: IO[Any] | None) -> tuple[int, int] | None:
    """The device and inode of the regular file that `path` is, or leads to
    ('-': the standard stream), if any."""
    try:
        if path == "-":
            if standard is None:
                return None
            found = os.fstat(standard.fileno())
        else:
            found = os.stat(path)
    except (OSError, ValueError, io.UnsupportedOperation):
        return None
    return (found.st_dev, found.st_ino) if stat.S_ISREG(found.st_mode) else None


def _writes_through(path: str) -> bool:
    """Whether `path` is something to write into rather than replace."""
    if not os.path.basename(path):
        raise CliError(f"{path}: names a directory, not a file")
    try:
        mode = os.lstat(path).st_mode
    except FileNotFoundError:
        return False
    except OSError as error:
        raise CliError(f"{path}: {describe(error)}") from None
    if stat.S_ISDIR(mode):
        raise CliError(f"{path}: is a directory")
    return not stat.S_ISREG(mode)


def _remove(path: str) -> None:
    try:
        os.unlink(path)
    except FileNotFoundError:
        pass


def silence_stdout() -> None:
    """Points standard output at /dev/null, after it failed (a full disk) or
    its reader went away, so that the interpreter's final flush of what
    could not be written is quiet."""
    with suppress(OSError, ValueError):
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, sys.stdout.fileno() if sys.stdout is not None else 1)
        os.close(devnull)


def memory_available() -> int | None:
    """Bytes this process could still allocate, as far as is known: the
    memory the system reports available, and room under an address-space
    limit (ulimit -v); None where neither is known."""
    known = []
    with suppress(OSError, ValueError, StopIteration):
        with open("/proc/meminfo") as meminfo:
            line = next(line for line in meminfo if line.startswith("MemAvailable:"))
        known.append(int(line.split()[1]) * 1024)
    with suppress(ImportError, OSError, ValueError, StopIteration):
        import resource

        limit = resource.getrlimit(resource.RLIMIT_AS)[0]
        if limit != resource.RLIM_INFINITY:
            with open("/proc/self/status") as status:
                line = next(line for line in status if line.startswith("VmSize:"))
            known.append(max(0, limit - int(line.split()[1]) * 1024))
    return min(known) if known else None
