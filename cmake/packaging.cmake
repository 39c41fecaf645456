# What `cmake --install` installs, and the packages CPack makes of it.
#
# Linux: the programs in bin, a manual page for each, the README and the
# sample session as documentation, with the copyright file and the changelog
# a Debian package carries; packaged as a .deb.
# Windows: a folder to unpack anywhere, with analyser.exe, logconvert.exe,
# velstra.exe (SQLite linked in), the README and the sample session;
# packaged as a .zip.

set(VELSTRA_SAMPLE_SESSION ${PROJECT_SOURCE_DIR}/examples/session)
# The history's program is built in its own folder; the packages carry it when
# it is part of the build, and tools/test-packages.sh fails when it is not.
set(VELSTRA_PROGRAMS analyser logconvert)
if(TARGET velstra)
  list(APPEND VELSTRA_PROGRAMS velstra)
endif()

if(WIN32)
  install(TARGETS ${VELSTRA_PROGRAMS} RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  # The README shows the page's picture from docs/.
  install(FILES ${PROJECT_SOURCE_DIR}/docs/session-page.png ${PROJECT_SOURCE_DIR}/docs/games-page.png DESTINATION docs)
  install(DIRECTORY ${VELSTRA_SAMPLE_SESSION} DESTINATION examples)
else()
  install(TARGETS ${VELSTRA_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # Manual pages are installed compressed, as Debian's man expects them; one
  # per program, so a missing page stops the build.
  set(man_pages)
  foreach(program IN LISTS VELSTRA_PROGRAMS)
    set(page ${program}.1)
    set(source ${PROJECT_SOURCE_DIR}/man/${page})
    if(NOT EXISTS ${source})
      message(FATAL_ERROR "man/${page} is missing: every installed program has its manual page")
    endif()
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
    add_custom_command(
      OUTPUT ${compressed}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
      COMMAND gzip -9 -n -f ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
      DEPENDS ${source}
      COMMENT "Compressing the manual page ${page}"
      VERBATIM)
    list(APPEND man_pages ${compressed})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/session-page.png ${PROJECT_SOURCE_DIR}/docs/games-page.png
          DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
  install(DIRECTORY ${VELSTRA_SAMPLE_SESSION} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  # A nightly velstra update, as a systemd timer and as a cron line, for the
  # admin to copy and adjust: examples, never active by themselves.
  if(TARGET velstra)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/systemd ${PROJECT_SOURCE_DIR}/examples/cron
            DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  endif()

  # Every Debian package carries its copyright and, compressed, its changelog
  # (a native package's: changelog.gz). A new version needs a new entry, so
  # the changelog's latest version must be the project's.
  set(debian_dir ${PROJECT_SOURCE_DIR}/cmake/debian)
  file(STRINGS ${debian_dir}/changelog latest_entry LIMIT_COUNT 1)
  if(NOT latest_entry MATCHES "^velstra \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "cmake/debian/changelog: the latest entry is not version ${PROJECT_VERSION}: ${latest_entry}")
  endif()
  set(changelog ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz)
  add_custom_command(
    OUTPUT ${changelog}
    COMMAND ${CMAKE_COMMAND} -E copy ${debian_dir}/changelog ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog
    COMMAND gzip -9 -n -f ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog
    DEPENDS ${debian_dir}/changelog
    COMMENT "Compressing the Debian changelog"
    VERBATIM)
  add_custom_target(debian_changelog ALL DEPENDS ${changelog})
  install(FILES ${changelog} ${debian_dir}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# The project's address and homepage, as the programs print them.
file(STRINGS ${PROJECT_SOURCE_DIR}/common/author_info.h author_lines REGEX "AUTHOR_(EMAIL|HOMEPAGE) = ")
foreach(line IN LISTS author_lines)
  string(REGEX MATCH "AUTHOR_([A-Z]+) = \"([^\"]*)\"" found "${line}")
  set(VELSTRA_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
endforeach()
if(NOT VELSTRA_EMAIL OR NOT VELSTRA_HOMEPAGE)
  message(FATAL_ERROR "common/author_info.h: AUTHOR_EMAIL or AUTHOR_HOMEPAGE not found")
endif()

set(CPACK_PACKAGE_NAME velstra)
set(CPACK_PACKAGE_VENDOR velstra)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "statistics from Unreal Tournament (1999) stat logs")
# In lines of less than 80 characters, as Debian wants a description.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "analyser reads the stat logs of Unreal Tournament (1999) in the current"
    "folder, prints a report of every game and writes two HTML pages: one with"
    "a table of the session's players and one that shows every game again."
    "logconvert lists the logs of a folder, gives them the names the analyser"
    "reads and writes 8-bit copies of them. velstra keeps every game of the"
    "server's logs in a history, one SQLite file, and lists its games and"
    "players.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build/;/demo/;/\\\\.git/")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "velstra <${VELSTRA_EMAIL}>")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELSTRA_HOMEPAGE}")
  # The C and C++ runtime libraries the programs link, found by dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
