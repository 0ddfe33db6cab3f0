# What `cmake --install` puts where, and the Debian package CPack builds from it
# (scripts/package). Installed programs keep their settings in the per-user
# folder: the program folder is never the executable's folder under /usr.

include(GNUInstallDirs)

set(ORTI415_APP_ID org.example.orti415)
set(ORTI415_DATA ${PROJECT_SOURCE_DIR}/data)
set(ORTI415_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/orti415)

install(TARGETS orti415 orti415-cli orti415-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${ORTI415_DATA}/${ORTI415_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORTI415_DATA}/${ORTI415_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORTI415_DATA}/icons/orti415.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${ORTI415_APP_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${ORTI415_DATA}/icons/png/orti415-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${ORTI415_APP_ID}.png)
endforeach()

# Man pages, compressed as Debian wants them.
set(manPages)
foreach(program orti415 orti415-cli orti415-sim)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${ORTI415_DATA}/man/${program}.1 > ${page}
    DEPENDS ${ORTI415_DATA}/man/${program}.1 VERBATIM)
  list(APPEND manPages ${page})
endforeach()
add_custom_target(orti415_man ALL DEPENDS ${manPages})
install(FILES ${manPages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${ORTI415_DATA}/copyright
        DESTINATION ${ORTI415_DOCDIR})
install(FILES ${ORTI415_DATA}/60-orti415.rules DESTINATION ${ORTI415_DOCDIR}/examples)

# The Debian package: orti415_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orti415)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orti-415 Console developers <console@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console for the notepad memory of the ORTI-415 pH-meter")
set(CPACK_PACKAGE_DESCRIPTION "Orti-415 Console reads the notepad memory of the laboratory pH-meter ORTI-415 over a
serial line, shows it by folder and by date, exports and prints marked records and
writes folder changes back into the instrument (Russian interface). orti415-cli runs
the same workflows without windows, orti415-sim simulates the instrument.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://example.org/orti-415)
# The libraries the programs link come from dpkg-shlibdeps; Qt's platform
# plugins and its Russian translations are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
