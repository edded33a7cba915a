# The Linux install: the program under bin, the Cursors folder under
# share/pellavin, the menu entry, AppStream file, icons, manual page and Debian's package files.
# "cpack -G DEB" makes pellavin_<version>_<arch>.deb of it. Qt's libraries are found from the
# program's own links; the platform plugins ship in libqt6gui6, which those links bring.
install(TARGETS pellavin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(CMAKE_STRIP)
  # A stripped program (cmake --install --strip, and the Debian package) also loses the
  # compilers' version notes, as Debian's own packages do.
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pellavin\")
  endif()")
endif()
# One application id names the menu entry, the software-centre description and the icon.
set(PELLAVIN_APP_ID io.github.varnholt.Pellavin)
# The menu entry starts the program in this folder, where Cursors\... resolves.
set(PELLAVIN_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/pellavin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Cursors DESTINATION ${CMAKE_INSTALL_DATADIR}/pellavin)
configure_file(${CMAKE_CURRENT_LIST_DIR}/desktop/${PELLAVIN_APP_ID}.desktop.in ${PROJECT_BINARY_DIR}/${PELLAVIN_APP_ID}.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${PELLAVIN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/${PELLAVIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The manual page, the copyright file, the changelog and the answers to Debian's package
# checker; Debian wants the manual page and the changelog compressed to the full, without
# a time stamp.
set(debian ${CMAKE_CURRENT_LIST_DIR}/debian)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${debian}/pellavin.1 ${debian}/changelog)
foreach(page pellavin.1 changelog)
  execute_process(COMMAND gzip -9n -c ${debian}/${page} OUTPUT_FILE ${PROJECT_BINARY_DIR}/${page}.gz
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/pellavin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${debian}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pellavin)
install(FILES ${debian}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME pellavin)
foreach(size 32 48)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/pellavin-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${PELLAVIN_APP_ID}.png)
endforeach()

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# On a Wayland desktop Qt's Wayland plugin runs the program natively, rather than on XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Where the classic Windows fonts are missing, the windows draw in Liberation Sans.
# Qt's translations give the boxes' buttons the user's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n")
