# SPDX-License-Identifier: GPL-3.0-or-later
# The version the programs print, the install layout (cmake --install) and
# the Debian package (make package). The version is project(VERSION) alone.
include(GNUInstallDirs)

set(OSTELVIA_PROGRAMS ostelvia ostelvia-export)
# Debian's hardening flags come from cmake/Hardening.cmake, for every target.
foreach(program IN LISTS OSTELVIA_PROGRAMS)
  target_compile_definitions(${program} PRIVATE OSTELVIA_VERSION="${PROJECT_VERSION}")
endforeach()

set(OSTELVIA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(OSTELVIA_STAGED_DIR ${PROJECT_BINARY_DIR}/packaging)
set(OSTELVIA_MAINTAINER "Seed 8f4eab83 maintainers <maintainers@users.noreply.c-seed-8f4eab83.example>"
    CACHE STRING "Maintainer of the Debian package")

# The Debian changelog must open with the version being built.
file(STRINGS ${OSTELVIA_PACKAGING_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^ostelvia \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog opens with \"${changelog_head}\"; "
                      "add an entry for version ${PROJECT_VERSION} on top.")
endif()

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(GZIP gzip REQUIRED)

# Icons rendered from the one drawing; man pages and changelog compressed the
# way Debian wants them (maximum compression, no time stamp).
set(staged_files)
foreach(size 48 256)
  set(png ${OSTELVIA_STAGED_DIR}/icons/${size}/ostelvia.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${OSTELVIA_STAGED_DIR}/icons/${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${OSTELVIA_PACKAGING_DIR}/ostelvia.svg
    DEPENDS ${OSTELVIA_PACKAGING_DIR}/ostelvia.svg
    COMMENT "Rendering the ${size} px icon")
  list(APPEND staged_files ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

foreach(page IN LISTS OSTELVIA_PROGRAMS)
  configure_file(${OSTELVIA_PACKAGING_DIR}/${page}.1 ${OSTELVIA_STAGED_DIR}/${page}.1 @ONLY)
  set(gz ${OSTELVIA_STAGED_DIR}/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${GZIP} -9nfk ${OSTELVIA_STAGED_DIR}/${page}.1
    DEPENDS ${OSTELVIA_STAGED_DIR}/${page}.1)
  list(APPEND staged_files ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(changelog_gz ${OSTELVIA_STAGED_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${GZIP} -9nc ${OSTELVIA_PACKAGING_DIR}/changelog > ${changelog_gz}
  DEPENDS ${OSTELVIA_PACKAGING_DIR}/changelog)
list(APPEND staged_files ${changelog_gz})
add_custom_target(ostelvia_packaging_files ALL DEPENDS ${staged_files})

install(TARGETS ${OSTELVIA_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package) also drops the compiler's notes, as dh_strip does.
foreach(program IN LISTS OSTELVIA_PROGRAMS)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endforeach()
install(FILES ${OSTELVIA_PACKAGING_DIR}/ostelvia.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${OSTELVIA_PACKAGING_DIR}/ostelvia.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${OSTELVIA_PACKAGING_DIR}/copyright ${changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ostelvia)

# The Debian package: build/ostelvia_<version>_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ostelvia)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${OSTELVIA_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "overnight-stay tax file from the front-office guest cards")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Ostelvia prepares the file a hotel hands to its municipality for the\n"
  "overnight-stay tax (Imposta di Soggiorno). It reads the guest cards and\n"
  "code tables that the hotel's front-office program keeps in Microsoft Jet\n"
  "(Access) database files, never writing to them, checks every card and\n"
  "writes the fixed-width presence file.\n"
  "\n"
  "The package holds the window for the reception (ostelvia, in Italian) and\n"
  "the same export without windows (ostelvia-export) for scheduled runs.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${OSTELVIA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The engine relies on libmdb 1.0.0's internals (see CMakeLists.txt), so the
# package names that version, not the oldest one the symbols would allow; Qt's
# own dialogs (file, folder and print choosers) need its Italian translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmdb3 (>= 1.0.0), libmdb3 (<< 1.0.1~), qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-crosextra-carlito")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
