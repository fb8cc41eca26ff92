# cmake -DVERSION=1.1.0 -DSOURCE=<tree> -P check_version.cmake: the npm
# package and its lock file carry the version that CMake's project() sets.
foreach(file web/package.json web/package-lock.json)
  file(READ ${SOURCE}/${file} json)
  string(JSON found GET "${json}" version)
  if(NOT found STREQUAL VERSION)
    message(FATAL_ERROR "${file} says version ${found}; CMakeLists.txt says ${VERSION}")
  endif()
endforeach()
message(STATUS "version ${VERSION} everywhere")
