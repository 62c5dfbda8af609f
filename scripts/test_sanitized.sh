#!/usr/bin/env bash
# Builds the extension and the C++ tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs the C++ tests and the whole Python
# test suite against them.  The first report of either sanitizer aborts the
# process that made it, so any report fails this script.
#
# The interpreter itself is not instrumented: the sanitizer runtime is
# preloaded so that it is in place before the extension is loaded.  Leaks are
# detected in the C++ tests, but not in the Python run: CPython keeps much of
# its memory until exit on purpose, and its small-object arenas are not
# scanned for pointers, so a leak report there would be noise;
# tests/test_leaks.py measures leaks instead.
#
# float-cast-overflow is named on its own: GCC's "undefined" leaves it out,
# and a NaN or huge float cast to an integer is exactly the fault that
# geodesy on unchecked input could make.
#
# Environment: ORVIK_PYTHON picks the interpreter (as for setup.sh);
# ORVIK_ASAN_VENV the virtualenv (default .venv-asan).  Arguments go to pytest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
venv=${ORVIK_ASAN_VENV:-.venv-asan}
sanitizers=address,undefined,float-cast-overflow
build_type=RelWithDebInfo

# Its own build directory, so that it and the plain build stay incremental;
# unstripped, so that reports name functions and lines.
settings=(
  "cmake.define.ORVIK_SANITIZE=$sanitizers"
  "cmake.build-type=$build_type"
  "install.strip=false"
  "build-dir=build/{wheel_tag}-sanitized"
)
ORVIK_VENV=$venv ORVIK_CONFIG_SETTINGS="${settings[*]}" bash scripts/setup.sh

runtime=$(g++ -print-file-name=libasan.so)
# The C++ runtime is preloaded too: the interpreter itself is C, so without it
# the sanitizer's __cxa_throw interceptor finds no real function to forward
# to and every C++ throw in the module would abort.
cxx_runtime=$(g++ -print-file-name=libstdc++.so.6)
if [ ! -e "$runtime" ]; then
  echo "test_sanitized: no AddressSanitizer runtime next to g++ ($runtime)" >&2
  exit 1
fi
# The extension must have been built instrumented, or this run proves nothing.
platlib=$("$venv/bin/python" -P -c 'import sysconfig; print(sysconfig.get_path("platlib"))')
module=$(ls "$platlib"/orvik/_orvik*.so)
# (Not `ldd | grep -q`: grep leaving early fails the pipe under pipefail.)
if ! ldd "$module" | grep libasan >/dev/null; then
  echo "test_sanitized: $module is not linked with AddressSanitizer" >&2
  exit 1
fi

ubsan_options=halt_on_error=1:abort_on_error=1:print_stacktrace=1:report_error_type=1
# No detect_stack_use_after_return: its fake stack frames do not keep the
# 64-byte alignment GCC gives vector-sized locals, so the AVX-512 kernel's
# aligned stores into its own stack block fault under it (a sanitizer
# artefact, not a fault of the code).
asan_options=abort_on_error=1:strict_init_order=1:check_initialization_order=1

# --- C++ tests: the executable is instrumented itself ------------------------
cpp_build=build/cpp-tests-sanitized
"$venv/bin/cmake" -S . -B "$cpp_build" -G Ninja -DCMAKE_MAKE_PROGRAM="$root/$venv/bin/ninja" \
  -DORVIK_TESTS=ON -DORVIK_WERROR=ON -DCMAKE_BUILD_TYPE=$build_type -DORVIK_SANITIZE=$sanitizers \
  -DPython_EXECUTABLE="$root/$venv/bin/python" >/dev/null
"$venv/bin/cmake" --build "$cpp_build"
ASAN_OPTIONS=$asan_options:detect_leaks=1 UBSAN_OPTIONS=$ubsan_options \
  LSAN_OPTIONS=suppressions=$root/tests/cpp/lsan.supp:print_suppressions=0 \
  "$venv/bin/ctest" --test-dir "$cpp_build" --output-on-failure

# --- Python tests: the runtime preloaded into the interpreter ----------------
# Child processes that the tests start inherit the preload and the options.
# The command line's tests and the Dask clusters spend their time in pandas,
# pyarrow and process start-up, and reach the compiled code only through
# calls the other tests make directly: they are left to the other stages.
ASAN_OPTIONS=$asan_options:detect_leaks=0 UBSAN_OPTIONS=$ubsan_options LD_PRELOAD="$runtime $cxx_runtime" \
  "$venv/bin/python" -P -m pytest -q -p no:cacheprovider \
  --ignore-glob='tests/test_cli*.py' --ignore-glob='tests/test_dask*.py' "$@"
