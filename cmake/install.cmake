# What `cmake --install` and the Debian package (`--target package`) install.
#
# On Linux, as Debian installs game engines:
#   PREFIX/games/<program>               links to the real programs, on the PATH
#   PREFIX/lib/games/quorvel/<program>   the eight real programs, and beside them
#   PREFIX/lib/games/quorvel/qvr.bin     a link to the one book,
#   PREFIX/share/games/quorvel/qvr.bin
#   PREFIX/share/man/man6/<program>.6.gz
#   PREFIX/share/games/plugins/xboard/quorvel.eng and logos/quorvel.png
# An engine reads qvr.bin beside its real file, which the link in its folder
# provides whatever folder it was started from. QUORVEL_INSTALL_BINDIR moves
# the links (bin for a prefix such as ~/.local).
# On Windows the programs and the book lie side by side in PREFIX/bin.

set(QUORVEL_INSTALL_BINDIR games CACHE STRING "Folder under the prefix for the programs' links (on the PATH)")
# The project has no public address yet: .invalid says so until one is set here.
set(QUORVEL_MAINTAINER "Delvane <delvane@quorvel.invalid>" CACHE STRING "Maintainer of the Debian package")

set(QUORVEL_PROGRAMS quorvel quorvel-uci quorvel-xboard)
if(TARGET quorvel-match)
  list(APPEND QUORVEL_PROGRAMS quorvel-match)
endif()
list(APPEND QUORVEL_PROGRAMS quorvel-book quorvel-perft quorvel-bench quorvel-eval)

# One time for every dated file a build writes: the release's (the last
# commit's), so that the same sources give the same bytes.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(QUORVEL_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
elseif(EXISTS ${CMAKE_SOURCE_DIR}/.git)
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE QUORVEL_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT QUORVEL_SOURCE_DATE_EPOCH)
  # A source tarball keeps the release's time as its files' times.
  file(TIMESTAMP ${CMAKE_SOURCE_DIR}/CMakeLists.txt QUORVEL_SOURCE_DATE_EPOCH "%s" UTC)
endif()

if(EMSCRIPTEN)
  return()
endif()

if(WIN32)
  install(TARGETS ${QUORVEL_PROGRAMS} RUNTIME DESTINATION bin)
  if(TARGET quorvel-book-file)
    install(FILES ${QUORVEL_BOOK_FILE} DESTINATION bin)
  endif()
  return()
endif()

set(QUORVEL_LIBEXEC_DIR lib/games/quorvel)
set(QUORVEL_SHARE_DIR share/games/quorvel)
set(QUORVEL_DOC_DIR share/doc/quorvel)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(staged ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${staged}/links ${staged}/man)

# Relative links, made here once: install copies a link as a link.
file(RELATIVE_PATH to_libexec /usr/${QUORVEL_INSTALL_BINDIR} /usr/${QUORVEL_LIBEXEC_DIR})
file(RELATIVE_PATH to_book /usr/${QUORVEL_LIBEXEC_DIR} /usr/${QUORVEL_SHARE_DIR}/qvr.bin)
foreach(program ${QUORVEL_PROGRAMS})
  file(CREATE_LINK ${to_libexec}/${program} ${staged}/links/${program} SYMBOLIC)
  install(FILES ${staged}/links/${program} DESTINATION ${QUORVEL_INSTALL_BINDIR})
endforeach()
file(CREATE_LINK ${to_book} ${staged}/links/qvr.bin SYMBOLIC)
install(TARGETS ${QUORVEL_PROGRAMS} RUNTIME DESTINATION ${QUORVEL_LIBEXEC_DIR})
if(TARGET quorvel-book-file)
  install(FILES ${QUORVEL_BOOK_FILE} DESTINATION ${QUORVEL_SHARE_DIR})
  install(FILES ${staged}/links/qvr.bin DESTINATION ${QUORVEL_LIBEXEC_DIR})
endif()

install(FILES ${packaging}/xboard/quorvel.eng DESTINATION share/games/plugins/xboard)
install(FILES ${packaging}/xboard/quorvel.png DESTINATION share/games/plugins/logos)
install(FILES ${packaging}/debian/copyright DESTINATION ${QUORVEL_DOC_DIR})

# Debian's compressed documents: gzip -n keeps no name or time.
add_custom_command(OUTPUT ${staged}/changelog.gz
  COMMAND gzip -9n -c ${packaging}/debian/changelog > ${staged}/changelog.gz
  DEPENDS ${packaging}/debian/changelog VERBATIM)
add_custom_target(quorvel-changelog ALL DEPENDS ${staged}/changelog.gz)
install(FILES ${staged}/changelog.gz DESTINATION ${QUORVEL_DOC_DIR})

# Manual pages from each program's --help and --version, with the sections of
# packaging/man/<program>.h2m (its NAME, protocol options, files);
# help2man dates them by SOURCE_DATE_EPOCH.
find_program(HELP2MAN help2man)
if(HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
  set(man_pages)
  foreach(program ${QUORVEL_PROGRAMS})
    set(page ${staged}/man/${program}.6)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C SOURCE_DATE_EPOCH=${QUORVEL_SOURCE_DATE_EPOCH}
              ${HELP2MAN} --no-info --section=6 --manual=Games
              --include=${packaging}/man/${program}.h2m --output=${page} ./$<TARGET_FILE_NAME:${program}>
      COMMAND gzip -9nf ${page}
      # help2man runs the program through the shell, which would split a path with a blank.
      WORKING_DIRECTORY $<TARGET_FILE_DIR:${program}>
      DEPENDS ${program} ${packaging}/man/${program}.h2m
      COMMENT "Manual page ${program}(6)" VERBATIM)
    list(APPEND man_pages ${page}.gz)
  endforeach()
  add_custom_target(quorvel-man-pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION share/man/man6)
else()
  message(STATUS "help2man not found: no manual pages")
endif()

# The Debian package: cmake --build build --target package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR Delvane)
set(CPACK_PACKAGE_CONTACT "${QUORVEL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Xiangqi (Chinese chess) engine for UCCI, UCI and XBoard")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xboard")
# CPack puts the summary first; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quorvel plays and analyses Xiangqi as a program that a graphical front end,
an analysis library or a match runner starts and talks to over standard
input and output: quorvel speaks UCCI, quorvel-uci UCI and quorvel-xboard
the XBoard protocol (it registers itself in XBoard's engine list). It comes
with an opening book, the match runner quorvel-match (time controls,
adjudication, SPRT) and tools for books, perft, benchmarks and evaluation.")
# Installed files owned by root with the usual modes, whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
