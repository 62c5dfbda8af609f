# An installed GeographicLib, as target orvik::geographiclib.
#
# GeographicLib's own CMake build installs a package configuration
# (lib/cmake/GeographicLib), which Fedora's and conda-forge's packages and
# installs from source have; CMAKE_PREFIX_PATH or GeographicLib_DIR point to
# one in an unusual place.  Debian and Ubuntu build it with autotools and
# install no configuration, only a pkg-config file, so that is the fallback.
#
# Its version goes to ORVIK_GEOGRAPHICLIB_VERSION, for
# cmake/GeographicLibFeatures.cmake to tell which of orvik's functions it
# can offer.
#
# Whichever library is found is linked as it is: usually the shared one, which
# the built module then needs at run time.  The bundled sources are the way to
# a self-contained module.
# A library outside the system's directories (conda, a prefix of one's own)
# stays findable from the installed modules.
set(CMAKE_INSTALL_RPATH_USE_LINK_PATH ON)

add_library(orvik_system_geographiclib INTERFACE)
add_library(orvik::geographiclib ALIAS orvik_system_geographiclib)

find_package(GeographicLib CONFIG QUIET)
if(GeographicLib_FOUND)
  if(TARGET GeographicLib::GeographicLib)
    target_link_libraries(orvik_system_geographiclib INTERFACE GeographicLib::GeographicLib)
  else()
    # Configurations from before 2.0 have no namespaced umbrella target.
    target_link_libraries(orvik_system_geographiclib INTERFACE ${GeographicLib_LIBRARIES})
    target_include_directories(orvik_system_geographiclib SYSTEM INTERFACE ${GeographicLib_INCLUDE_DIRS})
  endif()
  set(ORVIK_GEOGRAPHICLIB_VERSION ${GeographicLib_VERSION})
  set(ORVIK_GEOGRAPHICLIB_ORIGIN "installed, from ${GeographicLib_DIR}")
  return()
endif()

find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(ORVIK_GEOGRAPHICLIB_PC QUIET IMPORTED_TARGET geographiclib)
endif()
if(ORVIK_GEOGRAPHICLIB_PC_FOUND)
  target_link_libraries(orvik_system_geographiclib INTERFACE PkgConfig::ORVIK_GEOGRAPHICLIB_PC)
  set(ORVIK_GEOGRAPHICLIB_VERSION ${ORVIK_GEOGRAPHICLIB_PC_VERSION})
  set(ORVIK_GEOGRAPHICLIB_ORIGIN
    "installed, found by pkg-config, linking ${ORVIK_GEOGRAPHICLIB_PC_LINK_LIBRARIES}")
  return()
endif()

string(CONCAT _orvik_message
  "ORVIK_SYSTEM_GEOGRAPHICLIB=ON, but no installed GeographicLib (C++ library and headers) was found. "
  "Install it: libgeographiclib-dev and pkgconf on Debian and Ubuntu (found through pkg-config), "
  "GeographicLib-devel on Fedora, geographiclib-cpp from conda-forge, "
  "or a CMake install of https://github.com/geographiclib/geographiclib "
  "(then point CMAKE_PREFIX_PATH or GeographicLib_DIR at it). "
  "Or leave ORVIK_SYSTEM_GEOGRAPHICLIB OFF to build the copy bundled with orvik, "
  "which needs nothing installed.")
message(FATAL_ERROR "${_orvik_message}")
