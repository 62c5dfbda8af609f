#!/usr/bin/env bash
# Sets up everything orvik needs on a fresh Debian machine, and is quick when
# everything is already there:
#   - the Debian packages the build and the C++ tests need (a C++ compiler,
#     GoogleTest; GeographicLib too when ORVIK_SYSTEM_GEOGRAPHICLIB=ON is one
#     of the build settings, otherwise its bundled sources are built),
#   - a virtualenv (.venv, or $ORVIK_VENV) on CPython >= 3.12,
#   - orvik itself, built from this checkout, with its test extras.
# Environment: ORVIK_PYTHON picks the interpreter; ORVIK_VENV the virtualenv;
# ORVIK_EXTRAS the extras to install (default "test"); ORVIK_DEBS more Debian
# packages to install, separated by spaces (e.g. "clang-16"); ORVIK_CONFIG_SETTINGS
# extra build settings for scikit-build-core, separated by spaces, each passed
# to pip as -C KEY=VALUE (e.g. "cmake.define.ORVIK_SANITIZE=address,undefined
# build-dir=build/asan-{wheel_tag}").
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
venv=${ORVIK_VENV:-.venv}
extras=${ORVIK_EXTRAS:-test}
# Development builds treat warnings as errors; a user's pip install does not.
read -r -a config_settings <<<"cmake.define.ORVIK_WERROR=ON ${ORVIK_CONFIG_SETTINGS:-}"

say() { echo "setup: $*" >&2; }

# --- Debian packages ---------------------------------------------------------
debs=(libgtest-dev g++ make)
read -r -a more_debs <<<"${ORVIK_DEBS:-}"
debs+=(${more_debs[@]+"${more_debs[@]}"})
case " ${config_settings[*]} " in
  *ORVIK_SYSTEM_GEOGRAPHICLIB=ON*) debs+=(libgeographiclib-dev pkgconf) ;;
esac
missing=()
for p in "${debs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  say "installing Debian packages: ${missing[*]}"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# --- An interpreter >= 3.12 --------------------------------------------------
is_new_enough() { "$1" -c 'import sys; sys.exit(sys.version_info < (3, 12))' 2>/dev/null; }
python=""
for cand in ${ORVIK_PYTHON:-} python3.13 python3.12 \
            /root/.pyenv/versions/3.13*/bin/python3 /root/.pyenv/versions/3.12*/bin/python3 \
            "$HOME"/.pyenv/versions/3.1[2-9]*/bin/python3 python3; do
  [ -n "$cand" ] || continue
  exe=$(command -v "$cand" 2>/dev/null) || continue
  if is_new_enough "$exe"; then python=$exe; break; fi
done
if [ -z "$python" ]; then
  say "orvik needs CPython 3.12 or later, and none was found."
  say "Install one (e.g. 'apt-get install python3.12' or pyenv) or set ORVIK_PYTHON=/path/to/python3.12."
  exit 1
fi

# --- The virtualenv ----------------------------------------------------------
if [ ! -x "$venv/bin/python" ] || ! is_new_enough "$venv/bin/python"; then
  say "creating $venv with $python"
  rm -rf "$venv"
  "$python" -m venv "$venv"
  "$venv/bin/python" -m pip install -q --upgrade pip
fi
pip=("$venv/bin/python" -m pip)

# --- orvik, rebuilt only when its sources changed ----------------------------
stamp="$venv/.orvik-build-stamp"
want=$( { echo "$extras"; echo "${config_settings[*]}"; cat pyproject.toml CMakeLists.txt;
          find compat engine core runtime interop orvik tests/cpp third_party cmake -type f \( -name '*.cpp' -o -name '*.hpp' \
               -o -name '*.h' -o -name '*.hh' -o -name '*.cmake' -o -name '*.py' \
               -o -name '*.pyi' -o -name '*.map' -o -name '*.txt' -o -name '*.csv' -o -name 'py.typed' \) 2>/dev/null \
            | sort | xargs -r cat || true; } \
        | sha256sum | cut -d' ' -f1)
if [ "$(cat "$stamp" 2>/dev/null)" != "$want" ]; then
  say "building and installing orvik[$extras] into $venv"
  "${pip[@]}" install -q scikit-build-core cmake ninja
  # No build isolation: the build tools above are reused, and the build
  # directory under build/ makes a rebuild incremental.
  "${pip[@]}" install -q --no-build-isolation "${config_settings[@]/#/--config-settings=}" ".[$extras]"
  echo "$want" > "$stamp"
fi
say "ready: $venv ($("$venv/bin/python" -c 'import sys; print(sys.version.split()[0])'))"
