"""Shared helpers of the command-line tests: orvik run as users run it, as a
process, and the checks every failure must pass."""

import os
import pathlib
import resource
import subprocess
import sys

import pytest
from process_probes import UNDER_ADDRESS_SANITIZER

SCRIPT = pathlib.Path(sys.executable).parent / "orvik"
PAIRS_CSV = "lat1,lon1,lat2,lon2,name\n52.52,13.405,48.8566,2.3522,Berlin-Paris\n0,0,0,1,equator\n"


def orvik(*args, stdin=None, cwd=None, env=None, preexec_fn=None, text=True, timeout=120):
    return subprocess.run(
        [str(SCRIPT), *map(str, args)],
        input=stdin,
        capture_output=True,
        text=text,
        cwd=cwd,
        env=None if env is None else {**os.environ, **env},
        preexec_fn=preexec_fn,
        timeout=timeout,
    )


def assert_one_line_failure(done, status, fragment, stdout=""):
    errors = done.stderr if isinstance(done.stderr, str) else done.stderr.decode()
    assert done.returncode == status, errors
    if stdout is not None:
        assert not done.stdout, done.stdout
    assert "Traceback" not in errors
    assert len(errors.splitlines()) == 1, errors
    assert fragment in errors, errors


def files_in(folder):
    """Every file under `folder`, temporary ones (.part) included."""
    return sorted(p.name for p in pathlib.Path(folder).iterdir())


def limit_address_space(gib):
    return lambda: resource.setrlimit(resource.RLIMIT_AS, (gib << 30, gib << 30))


# The sanitizer reserves terabytes of shadow address space at start-up.
needs_plain_address_space = pytest.mark.skipif(
    UNDER_ADDRESS_SANITIZER, reason="the sanitizer cannot start under an address-space limit"
)
