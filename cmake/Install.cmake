# The installed layout: the program and the demo server in bin/, the desktop entry, the icon at
# the hicolor sizes, the AppStream metainfo, and the demo site under share/. `cpack -G DEB` in a
# build folder packs the same files.

set(LUMORA_APP_ID io.lumora.Lumora)

install(TARGETS lumora lumora-demo-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/${LUMORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${LUMORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(DIRECTORY server/site/ DESTINATION ${CMAKE_INSTALL_DATADIR}/lumora-demo-server/site)

set(CPACK_PACKAGE_NAME lumora)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Lumora maintainers <maintainers@lumora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop client for the Lumora video portal")
# The lines under the summary line of the package's description.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Shows the portal's pages in a skinned window with its own player, TV and\n"
       "shopping tabs, keeps a play list of what was watched and lives in the\n"
       "notification area. The demo content server, lumora-demo-server, is included\n"
       "so that a default build can be tried.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY lumora)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# Dependencies come from the shared libraries the executables link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
