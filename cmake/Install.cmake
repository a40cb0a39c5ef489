# The installed layout and the two Debian packages that `cpack -G DEB` makes of it:
#   lumora              the client: program, desktop entry, icons, AppStream metainfo, manual page
#   lumora-demo-server  the demo content server, its site and its manual page
# Each package carries its copyright, changelog and manual page in the forms Debian expects.

set(LUMORA_APP_ID io.lumora.Lumora)
set(LUMORA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc)
set(LUMORA_GZIP_DIR ${CMAKE_BINARY_DIR}/gzipped)

# Compresses a file as Debian wants it: best compression, no name and no time stamp, so the
# package is reproducible. The result's path goes into the variable named by `out`.
function(lumora_gzip source out)
  get_filename_component(name ${source} NAME)
  set(target ${LUMORA_GZIP_DIR}/${name}.gz)
  add_custom_command(
    OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMORA_GZIP_DIR}
    COMMAND gzip -9nc ${source} > ${target}
    DEPENDS ${source}
    VERBATIM)
  set(${out} ${target} PARENT_SCOPE)
endfunction()

lumora_gzip(${CMAKE_SOURCE_DIR}/man/lumora.1 LUMORA_CLIENT_MAN)
lumora_gzip(${CMAKE_SOURCE_DIR}/man/lumora-demo-server.1 LUMORA_SERVER_MAN)
lumora_gzip(${CMAKE_SOURCE_DIR}/data/debian/changelog LUMORA_CHANGELOG)
add_custom_target(lumora-package-docs ALL
                  DEPENDS ${LUMORA_CLIENT_MAN} ${LUMORA_SERVER_MAN} ${LUMORA_CHANGELOG})

# The homepage and the release's version come from the build's settings.
configure_file(data/${LUMORA_APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/${LUMORA_APP_ID}.metainfo.xml
               @ONLY)

install(TARGETS lumora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT client)
install(FILES data/${LUMORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT client)
install(FILES ${CMAKE_BINARY_DIR}/${LUMORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT client)
install(DIRECTORY data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT client)
install(FILES ${LUMORA_CLIENT_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT client)

# The metainfo's screenshot: the built program with the demo, captured under Xvfb by the build
# and served by the installed demo site at the path the metainfo names under the homepage. Only a
# build for the demo server shows the demo's pages.
if(LUMORA_SANITIZE OR LUMORA_FUZZ OR NOT LUMORA_BASE_URL STREQUAL
                                         "http://127.0.0.1:${LUMORA_DEMO_PORT}/box/")
  set(LUMORA_SCREENSHOT_DEFAULT OFF)
else()
  set(LUMORA_SCREENSHOT_DEFAULT ON)
endif()
option(LUMORA_SCREENSHOT "Capture the AppStream screenshot of the built program (needs Xvfb)"
       ${LUMORA_SCREENSHOT_DEFAULT})
if(LUMORA_SCREENSHOT)
  set(LUMORA_SCREENSHOT_PNG ${CMAKE_BINARY_DIR}/screenshots/lumora.png)
  add_custom_command(
    OUTPUT ${LUMORA_SCREENSHOT_PNG}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-screenshot.sh ${CMAKE_BINARY_DIR} ${LUMORA_SCREENSHOT_PNG}
    DEPENDS lumora lumora-demo-server ${CMAKE_SOURCE_DIR}/scripts/make-screenshot.sh
    COMMENT "Capturing the program's screenshot under Xvfb"
    VERBATIM)
  add_custom_target(lumora-screenshot ALL DEPENDS ${LUMORA_SCREENSHOT_PNG})
  install(FILES ${LUMORA_SCREENSHOT_PNG}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lumora-demo-server/site/screenshots COMPONENT server)
endif()

install(TARGETS lumora-demo-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT server)
install(DIRECTORY server/site/ DESTINATION ${CMAKE_INSTALL_DATADIR}/lumora-demo-server/site
        COMPONENT server)
install(FILES ${LUMORA_SERVER_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT server)

foreach(pair client:lumora server:lumora-demo-server)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES data/debian/copyright ${LUMORA_CHANGELOG} DESTINATION ${LUMORA_DOC_DIR}/${package}
          COMPONENT ${component})
endforeach()

set(CPACK_PACKAGE_NAME lumora)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Lumora maintainers <maintainers@lumora.invalid>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY lumora)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL client server)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE lumora)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LUMORA_SITE_URL}")
# Dependencies on libraries come from the ones the executables link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME lumora)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION video)
# The portal's pages are Chinese: without a CJK font every text shows as boxes.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-wqy-zenhei | fonts-wqy-microhei")
# The web engine plays the demo's WebM video (VP8/VP9 with Vorbis or Opus) through these.
set(CPACK_DEBIAN_CLIENT_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_CLIENT_PACKAGE_SUGGESTS lumora-demo-server)
string(CONCAT CPACK_DEBIAN_CLIENT_DESCRIPTION
       "desktop client for the Lumora video portal\n"
    "Shows the portal's pages in a skinned window with its own player, TV and\n"
    "shopping tabs, keeps a play list of what was watched and lives in the\n"
    "notification area.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME lumora-demo-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION web)
string(CONCAT CPACK_DEBIAN_SERVER_DESCRIPTION
       "demo content server for the Lumora client\n"
    "Serves a demo site with a catalogue, player, TV and shopping pages on\n"
    "127.0.0.1, so that the Lumora client can be tried without its portal.")
include(CPack)
