#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the C++ tests of core/
# and interop/, then the Python tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

venv=.venv
cpp_build=build/cpp-tests
"$venv/bin/cmake" -S . -B "$cpp_build" -G Ninja -DCMAKE_MAKE_PROGRAM="$(pwd)/$venv/bin/ninja" \
  -DORVIK_TESTS=ON -DCMAKE_BUILD_TYPE=Debug -DPython_EXECUTABLE="$(pwd)/$venv/bin/python" >/dev/null
"$venv/bin/cmake" --build "$cpp_build"
"$venv/bin/ctest" --test-dir "$cpp_build" --output-on-failure

# -P keeps the source checkout off sys.path, so the installed package (with
# its compiled module) is the one under test.
"$venv/bin/python" -P -m pytest -q "$@"

# The batch functions find NumPy at run time, so one build must serve NumPy
# 1.x as well as 2.x: their tests run again in a second virtualenv with
# NumPy 1.26 (which has wheels for CPython 3.12, not 3.13).
# ORVIK_SKIP_NUMPY1=1 skips this.
if [ "${ORVIK_SKIP_NUMPY1:-0}" != 1 ]; then
  np1_venv=.venv-np1
  py312=""
  for cand in python3.12 /root/.pyenv/versions/3.12*/bin/python3 "$HOME"/.pyenv/versions/3.12*/bin/python3; do
    exe=$(command -v "$cand" 2>/dev/null) || continue
    if "$exe" -c 'import sys; sys.exit(sys.version_info[:2] != (3, 12))' 2>/dev/null; then
      py312=$exe; break
    fi
  done
  if [ -z "$py312" ]; then
    echo "test: no CPython 3.12 found; NumPy 1.x run skipped" >&2
  else
    if [ ! -x "$np1_venv/bin/python" ]; then
      "$py312" -m venv "$np1_venv"
      "$np1_venv/bin/python" -m pip install -q --upgrade pip
      # Installed first, so the test extras' "numpy>=1.26" is already met.
      "$np1_venv/bin/python" -m pip install -q "numpy<2"
    fi
    ORVIK_VENV=$np1_venv ORVIK_PYTHON=$py312 bash scripts/setup.sh
    "$np1_venv/bin/python" -c 'import numpy, sys; sys.exit(int(numpy.__version__.split(".")[0]) >= 2)' \
      || "$np1_venv/bin/python" -m pip install -q "numpy<2"
    "$np1_venv/bin/python" -P -m pytest -q tests/test_batch_*.py
  fi
fi
