#!/usr/bin/env bash
# Sets everything up and runs the whole test suite, as a list of stages:
#   cpp         the C++ tests of core/ and interop/
#   py313       the Python tests on CPython 3.13 (.venv)
#   py312       the Python tests on CPython 3.12 (.venv-py312)
#   numpy1      the array tests on CPython 3.12 with NumPy 1.26 (.venv-np1):
#               both modules find NumPy at run time, so one build must serve
#               NumPy 1.x as well as 2.x
#   sanitized   the C++ and Python tests against an AddressSanitizer and
#               UndefinedBehaviorSanitizer build (scripts/test_sanitized.sh)
#   clang       the C++ tests built by clang (Debian's clang-16, or $ORVIK_CLANG),
#               warnings as errors
#   wheel       the Python tests on CPython 3.12 against the cp312 wheel users
#               get (scripts/build_wheels.sh), installed into a fresh
#               virtualenv and run where no C or C++ compiler is on PATH
#   aarch64     the cp313 wheel for aarch64, cross-compiled by the same
#               toolchain, and the C++ tests of core/ and runtime/ built the
#               same way and run under QEMU's user-mode emulator (not in the
#               default list)
# ORVIK_TEST_STAGES picks stages (space-separated; default: all, in the order
# above).  Arguments go to every pytest run.  Each stage's time is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# An interpreter of exactly the given minor version, or failure.
source scripts/find_python.sh
find_python() {
  exact_python "$1" && return 0
  echo "test: CPython $1 is needed for the version matrix and none was found" >&2
  return 1
}

# -P keeps the source checkout off sys.path, so the installed package (with
# its compiled module) is the one under test.
run_pytest() {
  local venv=$1
  shift
  "$venv/bin/python" -P -m pytest -q "$@"
}

stage_cpp() {
  local python
  python=$(find_python 3.13)
  ORVIK_PYTHON=$python bash scripts/setup.sh
  local venv=.venv cpp_build=build/cpp-tests
  "$venv/bin/cmake" -S . -B "$cpp_build" -G Ninja -DCMAKE_MAKE_PROGRAM="$root/$venv/bin/ninja" \
    -DORVIK_TESTS=ON -DORVIK_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DPython_EXECUTABLE="$root/$venv/bin/python" >/dev/null
  "$venv/bin/cmake" --build "$cpp_build"
  "$venv/bin/ctest" --test-dir "$cpp_build" --output-on-failure
}

stage_py313() {
  local python
  python=$(find_python 3.13)
  ORVIK_PYTHON=$python bash scripts/setup.sh
  run_pytest .venv "$@"
}

stage_py312() {
  local python
  python=$(find_python 3.12)
  ORVIK_PYTHON=$python ORVIK_VENV=.venv-py312 bash scripts/setup.sh
  run_pytest .venv-py312 "$@"
}

stage_numpy1() {
  local python venv=.venv-np1
  python=$(find_python 3.12)
  # Only what the array tests need: the full test extras pull packages that
  # want NumPy 2.
  ORVIK_PYTHON=$python ORVIK_VENV=$venv ORVIK_EXTRAS=numpy bash scripts/setup.sh
  "$venv/bin/python" -m pip install -q "numpy<2" "pandas>=2.1,<2.3" "cloudpickle>=3" "pytest>=8" "pytest-timeout>=2.3"
  run_pytest "$venv" tests/test_batch_*.py tests/test_array_functions.py tests/test_package_table.py \
    tests/test_neighbors.py tests/test_argument_rules.py tests/test_geodesic_lines.py "$@"
}

stage_clang() {
  local python clang=${ORVIK_CLANG:-clang++-16}
  python=$(find_python 3.13)
  local debs=""
  [[ $clang =~ ^clang\+\+-([0-9]+)$ ]] && debs="clang-${BASH_REMATCH[1]}"
  ORVIK_PYTHON=$python ORVIK_DEBS=$debs bash scripts/setup.sh
  local venv=.venv cpp_build=build/cpp-tests-$clang
  "$venv/bin/cmake" -S . -B "$cpp_build" -G Ninja -DCMAKE_MAKE_PROGRAM="$root/$venv/bin/ninja" \
    -DCMAKE_CXX_COMPILER="$clang" -DORVIK_TESTS=ON -DORVIK_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
    -DPython_EXECUTABLE="$root/$venv/bin/python" >/dev/null
  "$venv/bin/cmake" --build "$cpp_build"
  "$venv/bin/ctest" --test-dir "$cpp_build" --output-on-failure
}

# A directory of links to every program on PATH but the C and C++ compilers,
# so that nothing under test can build code behind the wheel's back.
path_without_compilers() {
  local dir=$1 entries entry exe name
  rm -rf "$dir"
  mkdir -p "$dir"
  IFS=: read -r -a entries <<<"$PATH"
  for entry in "${entries[@]}"; do
    [ -d "$entry" ] || continue
    for exe in "$entry"/*; do
      name=${exe##*/}
      [ -x "$exe" ] && [ ! -d "$exe" ] || continue
      [[ $name =~ (^|-)(cc|c\+\+|cpp|gcc|g\+\+|c89|c99)(-[0-9.]+)?$ || $name =~ ^clang || $name == zig ]] && continue
      [ -e "$dir/$name" ] || ln -s "$exe" "$dir/$name"
    done
  done
  echo "$dir"
}

stage_wheel() {
  local python venv=build/wheel-test/venv bin wheel tool
  python=$(find_python 3.12)
  ORVIK_WHEEL_PYTHONS=3.12 bash scripts/build_wheels.sh
  wheel=$(ls dist/orvik-*-cp312-cp312-*manylinux*_"$(uname -m)".whl)
  rm -rf "$venv"
  "$python" -m venv "$venv"
  "$venv/bin/python" -m pip install -q --disable-pip-version-check "$wheel[test]"
  bin=$(path_without_compilers build/wheel-test/bin)
  for tool in cc c++ gcc g++ clang clang++; do
    if PATH=$bin command -v "$tool" >/dev/null; then
      echo "test: $tool is still on the wheel test's PATH" >&2
      return 1
    fi
  done
  # Nor any library of the machine's but the system's own.
  PATH=$bin LD_LIBRARY_PATH= run_pytest "$venv" "$@"
}

stage_aarch64() {
  local python venv=.venv build=build/cpp-tests-aarch64 sysroot=/usr/aarch64-linux-gnu zig
  python=$(find_python 3.13)
  ORVIK_PYTHON=$python ORVIK_DEBS="qemu-user-static libc6-arm64-cross libgcc-s1-arm64-cross" \
    bash scripts/setup.sh
  ORVIK_WHEEL_PYTHONS=3.13 ORVIK_WHEEL_ARCHS=aarch64 bash scripts/build_wheels.sh
  zig=$(.venv-wheels/bin/python -c 'import pathlib, ziglang; print(pathlib.Path(ziglang.__file__).with_name("zig"))')
  # GoogleTest from Debian's sources, built for the target.  The tests of
  # interop/ need an interpreter built for the target, which this machine
  # lacks: only the Python-free tests are built, and the interpreter named
  # (FindPython asks no questions of it when cross-compiling) is never linked.
  local -a python_paths
  mapfile -t python_paths < <("$venv/bin/python" -c 'import sysconfig as s, os
print(s.get_paths()["include"]); print(os.path.join(s.get_config_var("LIBDIR"), s.get_config_var("LDLIBRARY")))')
  "$venv/bin/cmake" -S . -B "$build" -G Ninja -DCMAKE_MAKE_PROGRAM="$root/$venv/bin/ninja" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/zig-toolchain.cmake" -DORVIK_ZIG="$zig" \
    -DORVIK_ZIG_TARGET=aarch64-linux-gnu.2.28 -DORVIK_GTEST_SOURCE_DIR=/usr/src/googletest \
    -DORVIK_TESTS=ON -DORVIK_WERROR=ON -DCMAKE_BUILD_TYPE=Release \
    -DPython_EXECUTABLE="$root/$venv/bin/python" -DPython_INCLUDE_DIR="${python_paths[0]}" \
    -DPython_LIBRARY="${python_paths[1]}" -Wno-deprecated >/dev/null
  "$venv/bin/cmake" --build "$build" --target orvik_core_tests
  qemu-aarch64-static -L "$sysroot" "$build/tests/cpp/orvik_core_tests" --gtest_brief=1
}

stage_sanitized() {
  local python
  python=$(find_python 3.13)
  ORVIK_PYTHON=$python bash scripts/test_sanitized.sh "$@"
}

# py312 builds from source for CPython 3.12; the wheel stage covers 3.12 with
# the wheel, so py312 is left out of the default list to keep CI short.
stages=${ORVIK_TEST_STAGES:-cpp py313 numpy1 sanitized clang wheel}
timings=()
for stage in $stages; do
  if ! declare -F "stage_$stage" >/dev/null; then
    echo "test: unknown stage '$stage'" >&2
    exit 2
  fi
  echo "=== stage $stage ===" >&2
  started=$SECONDS
  "stage_$stage" "$@"
  timings+=("$stage $((SECONDS - started))s")
done
echo "test: all stages passed (${timings[*]})" >&2
