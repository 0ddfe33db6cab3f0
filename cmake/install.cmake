# What `cmake --install` puts where, and the Debian package CPack builds from it
# (scripts/package). Installed programs keep their settings in the per-user
# folder: the program folder is never the executable's folder under /usr.

set(ORTI415_APP_ID org.example.orti415)
set(ORTI415_DATA ${PROJECT_SOURCE_DIR}/data)

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

# Man pages and the changelog, compressed as Debian wants them.
function(orti_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/gz
    COMMAND gzip -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
set(manPages)
foreach(program orti415 orti415-cli orti415-sim)
  set(page ${CMAKE_BINARY_DIR}/gz/${program}.1.gz)
  orti_gzip(${ORTI415_DATA}/man/${program}.1 ${page})
  list(APPEND manPages ${page})
endforeach()
set(changelog ${CMAKE_BINARY_DIR}/gz/changelog.gz)
orti_gzip(${ORTI415_DATA}/changelog ${changelog})
add_custom_target(orti415_gz ALL DEPENDS ${manPages} ${changelog})
install(FILES ${manPages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${ORTI415_DATA}/copyright ${changelog}
        DESTINATION ${ORTI415_DOCDIR})
install(FILES ${ORTI415_DATA}/${ORTI415_EXAMPLE_RULE} DESTINATION ${ORTI415_DOCDIR}/examples)

# The Debian package: orti415_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orti415)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orti-415 Console developers <console@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console for the notepad memory of the ORTI-415 pH-meter")
# Lines of at most 80 characters, as Debian's policy wants them.
set(CPACK_PACKAGE_DESCRIPTION "Orti-415 Console reads the notepad memory of the laboratory pH-meter
ORTI-415 over a serial line, shows it by folder and by date, exports and
prints marked records and writes folder changes back into the instrument
(Russian interface). orti415-cli runs the same workflows without windows,
orti415-sim simulates the instrument.")
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
