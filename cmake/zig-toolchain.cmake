# Builds with zig's clang for a given glibc release, against zig's own libc++
# linked statically, for wheels that install on older Linux distributions.
# GCC's libstdc++, even linked statically, calls into the glibc it was built
# on (2.32 to 2.36 on Debian 12); zig links against stubs of the glibc it
# is asked for, so the module needs nothing newer.  Development and CI
# builds use the system's GCC or clang instead.
#
# Settings, as cache variables (-D) or environment variables:
#   ORVIK_ZIG         the zig executable; by default `zig` on PATH, else the
#                     one in the `ziglang` package of the build's Python
#   ORVIK_ZIG_TARGET  zig's target triple with the glibc release
#                     (default x86_64-linux-gnu.2.28)
#   ORVIK_ZIG_LIBGCC_S  the target's libgcc_s.so.1 (default: Debian's, from
#                     libgcc-s1 for this machine's architecture, from
#                     libgcc-s1-<arch>-cross for another)
#
# This file is read again for every check CMake compiles (try_compile), where
# the cache of the build is not at hand: what it finds the first time is
# carried in the environment of the CMake process and in
# CMAKE_TRY_COMPILE_PLATFORM_VARIABLES.

foreach(setting ORVIK_ZIG ORVIK_ZIG_TARGET ORVIK_ZIG_LIBGCC_S)
  if(NOT ${setting} AND DEFINED ENV{${setting}})
    set(${setting} "$ENV{${setting}}")
  endif()
endforeach()
if(NOT ORVIK_ZIG_TARGET)
  set(ORVIK_ZIG_TARGET x86_64-linux-gnu.2.28)
endif()

if(NOT ORVIK_ZIG)
  find_program(ORVIK_ZIG_ON_PATH zig)
  if(ORVIK_ZIG_ON_PATH)
    set(ORVIK_ZIG "${ORVIK_ZIG_ON_PATH}")
  else()
    # scikit-build-core names the interpreter it builds for.
    set(python "${Python_EXECUTABLE}")
    if(NOT python)
      find_program(python NAMES python3 python)
    endif()
    if(python)
      execute_process(
        COMMAND "${python}" -c "import pathlib, ziglang; print(pathlib.Path(ziglang.__file__).with_name('zig'))"
        OUTPUT_VARIABLE zig_of_python OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE zig_lookup ERROR_QUIET)
      if(zig_lookup EQUAL 0 AND EXISTS "${zig_of_python}")
        set(ORVIK_ZIG "${zig_of_python}")
      endif()
    endif()
  endif()
endif()
if(NOT ORVIK_ZIG)
  message(FATAL_ERROR "zig-toolchain: no zig found. Install it with `pip install ziglang` "
                      "into the build's Python, or set ORVIK_ZIG to the zig executable.")
endif()
set(ORVIK_ZIG "${ORVIK_ZIG}" CACHE FILEPATH "The zig executable" FORCE)
set(ORVIK_ZIG_TARGET "${ORVIK_ZIG_TARGET}" CACHE STRING "zig's target triple, with the glibc release" FORCE)
set(ENV{ORVIK_ZIG} "${ORVIK_ZIG}")
set(ENV{ORVIK_ZIG_TARGET} "${ORVIK_ZIG_TARGET}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVIK_ZIG ORVIK_ZIG_TARGET ORVIK_ZIG_LIBGCC_S)

string(REGEX MATCH "^[^-]+" target_arch "${ORVIK_ZIG_TARGET}")
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR "${target_arch}")

set(CMAKE_C_COMPILER "${ORVIK_ZIG}" cc -target "${ORVIK_ZIG_TARGET}")
set(CMAKE_CXX_COMPILER "${ORVIK_ZIG}" c++ -target "${ORVIK_ZIG_TARGET}")
# zig's own archiver knows every target it compiles for; the host's binutils
# may not write a symbol index for a foreign one.
foreach(lang C CXX)
  set(CMAKE_${lang}_ARCHIVE_CREATE "\"${ORVIK_ZIG}\" ar qc <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "\"${ORVIK_ZIG}\" ar q <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "\"${ORVIK_ZIG}\" ranlib <TARGET>")
endforeach()

# One unwinder for everything, the system's: glibc ends a thread (as CPython
# before 3.14 ends a daemon thread that asks for the interpreter lock during
# finalization) by forced unwinding through libgcc_s, which calls the
# personality routine of every C++ frame it passes.  With zig's libunwind
# linked in, that routine would read libgcc_s's unwinding state as
# libunwind's, and the process crashes.  Linked against libgcc_s first, the
# module takes every _Unwind_ function from it and none from libunwind.
if(NOT ORVIK_ZIG_LIBGCC_S)
  foreach(dir /lib/${target_arch}-linux-gnu /usr/lib/${target_arch}-linux-gnu /usr/${target_arch}-linux-gnu/lib)
    if(EXISTS ${dir}/libgcc_s.so.1)
      set(ORVIK_ZIG_LIBGCC_S ${dir}/libgcc_s.so.1)
      break()
    endif()
  endforeach()
endif()
if(NOT EXISTS "${ORVIK_ZIG_LIBGCC_S}")
  if(target_arch STREQUAL CMAKE_HOST_SYSTEM_PROCESSOR)
    set(package libgcc-s1)
  else()
    string(REPLACE x86_64 amd64 debian_arch "${target_arch}")
    string(REPLACE aarch64 arm64 debian_arch "${debian_arch}")
    set(package "libgcc-s1-${debian_arch}-cross")
  endif()
  message(FATAL_ERROR "zig-toolchain: no libgcc_s.so.1 for ${target_arch}; install Debian's ${package} "
                      "or set ORVIK_ZIG_LIBGCC_S.")
endif()
set(ORVIK_ZIG_LIBGCC_S "${ORVIK_ZIG_LIBGCC_S}" CACHE FILEPATH "The target's libgcc_s.so.1" FORCE)
set(ENV{ORVIK_ZIG_LIBGCC_S} "${ORVIK_ZIG_LIBGCC_S}")
set(CMAKE_CXX_STANDARD_LIBRARIES_INIT "\"${ORVIK_ZIG_LIBGCC_S}\"")
# That libgcc_s is the build machine's, and refers to its newer glibc; at run
# time the target's own is loaded.  A shared object's link never checks the
# libraries it links against for undefined symbols; an executable's (the
# compiler checks, the C++ tests) must not either.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--allow-shlib-undefined")
