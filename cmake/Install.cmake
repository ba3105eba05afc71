# The installed layout (GNUInstallDirs, freedesktop.org and Debian places) and
# the Debian package. Included by CMakeLists.txt once the programs exist.

# The release the metainfo and the manual pages name, with project(VERSION).
set(TWINLENS_RELEASE_DATE "2026-12-10")

install(TARGETS twinlens DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET twinlens-cli)
  install(TARGETS twinlens-cli DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/transl.dt)
  install(FILES resources/transl.dt DESTINATION ${CMAKE_INSTALL_DATADIR}/twinlens)
endif()

# Desktop entry, icon theme, AppStream metainfo.
install(FILES resources/desktop/${TWINLENS_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/icons/app/${TWINLENS_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES resources/icons/app/${size}/${TWINLENS_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
configure_file(resources/desktop/${TWINLENS_APP_ID}.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/data/${TWINLENS_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/${TWINLENS_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages, compressed as Debian ships them when gzip is at hand.
if(TWINLENS_UPDATE_CHECK)
  set(TWINLENS_MAN_UPDATE "At start\\-up, before its window opens, the program asks the update server
(@TWINLENS_UPDATE_SERVER@) for the newest version.
It can offer an optional update, or ask for a required one, and download and
start the new installer over HTTPS; only a required update ends the program
afterwards, and a failure of the check is silent.")
else()
  set(TWINLENS_MAN_UPDATE "This build does not look for new versions: updates come with the system's
packages.")
endif()
string(CONFIGURE "${TWINLENS_MAN_UPDATE}" TWINLENS_MAN_UPDATE @ONLY)
find_program(GZIP_PROGRAM gzip)
foreach(page twinlens twinlens-cli)
  configure_file(docs/man/${page}.1.in ${PROJECT_BINARY_DIR}/data/man/${page}.1 @ONLY)
  if(GZIP_PROGRAM)
    # -n keeps the name and time out of the archive, so builds are repeatable.
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/data/man/${page}.1.gz
      COMMAND ${GZIP_PROGRAM} -9nkf ${page}.1
      DEPENDS ${PROJECT_BINARY_DIR}/data/man/${page}.1
      WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/data/man VERBATIM)
    list(APPEND man_pages ${PROJECT_BINARY_DIR}/data/man/${page}.1.gz)
  else()
    list(APPEND man_pages ${PROJECT_BINARY_DIR}/data/man/${page}.1)
  endif()
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Shell completions for twinlens-cli.
install(FILES resources/completions/twinlens-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME twinlens-cli)
install(FILES resources/completions/_twinlens-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)

# The Debian package (scripts/package.sh): cpack over these install rules, so
# the package holds exactly what "cmake --install" puts down, and its
# dependencies are read by dpkg-shlibdeps from the libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME twinlens)
set(CPACK_PACKAGE_VENDOR Twinlens)
set(CPACK_PACKAGE_CONTACT "Twinlens <support@twinlens.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find duplicate files and folders")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Twinlens finds duplicated files and duplicated folders under the folders
you list, by name, size or content (SHA-1), shows them in grouped lists and
moves the checked copies to the trash. twinlens-cli runs the same scan without
a window and writes CSV.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TWINLENS_WEBSITE}/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The X11 platform plugin comes with libqt6gui6; the native Wayland one is
# separate, and without it Qt runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
