# What the GeographicLib behind orvik::geographiclib offers, as compile
# definitions that go with the target to every user of it:
#
#   ORVIK_HAVE_RHUMB      Rhumb, RhumbLine and PolygonAreaRhumb
#   ORVIK_HAVE_INTERSECT  Intersect
#
# each always defined, as 1 or 0 (test them with #if).  Both need 2.3 or
# later.  Intersect is new in 2.3.  Rhumb is older, but 2.2 rewrote it: before
# that its areas were accurate only for |f| < 0.01 and a pole as an endpoint
# was moved off the pole, so an older library would give other answers than
# the bundled one.  One floor for both keeps one behaviour.
#
# ORVIK_GEOGRAPHICLIB_VERSION (empty when the installed library did not say)
# and ORVIK_GEOGRAPHICLIB_ORIGIN come from third_party/geographiclib or
# cmake/SystemGeographicLib.cmake.

set(ORVIK_GEOGRAPHICLIB_FEATURES_VERSION 2.3)
get_target_property(_orvik_geographiclib orvik::geographiclib ALIASED_TARGET)

if(ORVIK_GEOGRAPHICLIB_VERSION AND
   ORVIK_GEOGRAPHICLIB_VERSION VERSION_GREATER_EQUAL ORVIK_GEOGRAPHICLIB_FEATURES_VERSION)
  target_compile_definitions(${_orvik_geographiclib} INTERFACE ORVIK_HAVE_RHUMB=1 ORVIK_HAVE_INTERSECT=1)
  message(STATUS "GeographicLib ${ORVIK_GEOGRAPHICLIB_VERSION} (${ORVIK_GEOGRAPHICLIB_ORIGIN}): "
    "with rhumb-line and intersection functions")
else()
  target_compile_definitions(${_orvik_geographiclib} INTERFACE ORVIK_HAVE_RHUMB=0 ORVIK_HAVE_INTERSECT=0)
  if(ORVIK_GEOGRAPHICLIB_VERSION)
    set(_orvik_which "GeographicLib ${ORVIK_GEOGRAPHICLIB_VERSION} (${ORVIK_GEOGRAPHICLIB_ORIGIN})")
  else()
    set(_orvik_which "This GeographicLib (${ORVIK_GEOGRAPHICLIB_ORIGIN}, which gives no version)")
  endif()
  message(WARNING "${_orvik_which} is too old for orvik's rhumb-line and intersection functions, "
    "which need GeographicLib >= ${ORVIK_GEOGRAPHICLIB_FEATURES_VERSION}: they are left out of this build. "
    "Install GeographicLib ${ORVIK_GEOGRAPHICLIB_FEATURES_VERSION} or later, or leave "
    "ORVIK_SYSTEM_GEOGRAPHICLIB OFF to build the GeographicLib bundled with orvik, which has them.")
  unset(_orvik_which)
endif()
unset(_orvik_geographiclib)
