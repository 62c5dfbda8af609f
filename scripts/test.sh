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
