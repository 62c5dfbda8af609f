"""GeographicLib's own command-line tools (GeodSolve, RhumbSolve,
IntersectTool), built from the bundled sources on first use, as a reference to
compare orvik against.

    def test_x(geographiclib_tools):
        rows = geographiclib_tools.run("GeodSolve", ["-i"], ["0 0 1 1"])

The build goes to build/geographiclib-tools/ in the checkout (orvik's CMake
project with ORVIK_GEOGRAPHICLIB_TOOLS=ON, only the tools' targets) and is
kept between runs: later sessions only check that it is up to date.  Where
CMake or a C++ compiler is missing (an installed wheel tested on a machine
without a toolchain), the tests that need the tools are skipped; a build that
fails is an error.
"""

from __future__ import annotations

import dataclasses
import functools
import os
import re
import shutil
import subprocess
import sys
from collections.abc import Sequence
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "geographiclib-tools"
NAMES = ("GeodSolve", "RhumbSolve", "IntersectTool")
CONFIG = ROOT / "third_party" / "geographiclib" / "config" / "GeographicLib" / "Config.h"


def bundled_version() -> str:
    """The bundled release, as its Config.h says."""
    return re.search(r'^#define GEOGRAPHICLIB_VERSION_STRING "(.*)"$', CONFIG.read_text(), re.M)[1]


def clean_environment() -> dict[str, str]:
    """The environment without a sanitizer runtime that a test run may
    preload: the compiler and the tools are not what is under test."""
    return {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "ASAN_OPTIONS", "UBSAN_OPTIONS")}


@dataclasses.dataclass(frozen=True)
class Tools:
    paths: dict[str, Path]

    def run(self, name: str, args: Sequence[str], lines: Sequence[str]) -> list[list[str]]:
        """The tool's output for the input lines, split into fields."""
        done = subprocess.run(
            [str(self.paths[name]), *args],
            input="".join(f"{line}\n" for line in lines),
            capture_output=True,
            text=True,
            env=clean_environment(),
            timeout=60,
        )
        if done.returncode != 0 or done.stderr:
            raise RuntimeError(f"{name} {' '.join(args)} failed ({done.returncode}): {done.stderr.strip()}")
        return [line.split() for line in done.stdout.splitlines()]


def program(name: str) -> str | None:
    """NAME from the running interpreter's environment (where
    scripts/setup.sh installs cmake and ninja), else from PATH."""
    beside = Path(sys.executable).parent / name
    return str(beside) if beside.is_file() and os.access(beside, os.X_OK) else shutil.which(name)


@functools.cache
def build() -> Tools:
    """Builds the tools (or finds them up to date) and gives their paths."""
    if not (ROOT / "third_party" / "geographiclib" / "tools").is_dir():
        pytest.skip("GeographicLib's tool sources are not here (no orvik checkout)")
    cmake = program("cmake")
    if cmake is None:
        pytest.skip("no cmake to build GeographicLib's tools with")
    compiler = os.environ.get("CXX") or next(
        (c for c in ("c++", "g++", "clang++") if shutil.which(c)), None
    )
    if compiler is None:
        pytest.skip("no C++ compiler to build GeographicLib's tools with")
    env = clean_environment()
    if not (BUILD / "CMakeCache.txt").is_file():
        configure = [cmake, "-S", str(ROOT), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Release",
                     "-DORVIK_GEOGRAPHICLIB_TOOLS=ON", f"-DPython_EXECUTABLE={sys.executable}"]  # fmt: skip
        ninja = program("ninja")
        if ninja is not None:
            configure += ["-G", "Ninja", f"-DCMAKE_MAKE_PROGRAM={ninja}"]
        run_build_step(configure, env)
    run_build_step([cmake, "--build", str(BUILD), "--target", *NAMES], env)
    paths = {name: BUILD / "bin" / name for name in NAMES}
    missing = [str(p) for p in paths.values() if not p.is_file()]
    assert not missing, f"the build made no {missing}"
    return Tools(paths)


def run_build_step(command: list[str], env: dict[str, str]) -> None:
    done = subprocess.run(command, capture_output=True, text=True, env=env, cwd=ROOT)
    if done.returncode != 0:
        pytest.fail(f"building GeographicLib's tools failed: {' '.join(command)}\n{done.stdout}\n{done.stderr}")


@pytest.fixture(scope="session")
def geographiclib_tools() -> Tools:
    return build()
