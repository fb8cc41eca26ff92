# cmake -DVERSION=1.1.0 -DSOURCE=<tree> -P check_version.cmake: the npm
# package, its lock file and the Debian changelog's last entry carry the
# version that CMake's project() sets.
foreach(file web/package.json web/package-lock.json)
  file(READ ${SOURCE}/${file} json)
  string(JSON found GET "${json}" version)
  if(NOT found STREQUAL VERSION)
    message(FATAL_ERROR "${file} says version ${found}; CMakeLists.txt says ${VERSION}")
  endif()
endforeach()
file(STRINGS ${SOURCE}/packaging/debian/changelog entry LIMIT_COUNT 1)
if(NOT entry MATCHES "^quorvel \\(${VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog begins '${entry}'; CMakeLists.txt says ${VERSION}")
endif()
message(STATUS "version ${VERSION} everywhere")
