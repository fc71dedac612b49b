# Install layout and the Debian package (`make package`, or `cpack -G DEB` in the build folder).
# Installed, the executable lies in <prefix>/bin and the shipped data files in
# <prefix>/share/zorvel; the program then works in a per-user folder (app/WorkingFolder).
include(GNUInstallDirs)
# Installing (and so packaging) takes what is built and does not build every test first;
# `make package` builds the executable before it packs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
include(${CMAKE_SOURCE_DIR}/cmake/DataFiles.cmake)

set(ZORVEL_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging/linux)
set(ZORVEL_APP_ID com.pelmora.zorvel)

install(TARGETS zorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
zorvel_shipped_files(_shipped ${CMAKE_SOURCE_DIR}/data ${ZORVEL_OS})
install(FILES ${_shipped} DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvel)
install(FILES ${ZORVEL_PACKAGING_DIR}/zorvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${ZORVEL_PACKAGING_DIR}/${ZORVEL_APP_ID}.metainfo.xml
    ${CMAKE_BINARY_DIR}/packaging/${ZORVEL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${ZORVEL_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icon at the sizes the icon set is drawn for, and the drawing itself.
foreach(_size 16 32 48)
    install(FILES ${ZORVEL_PACKAGING_DIR}/icons/zorvel-${_size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps RENAME zorvel.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/svg/zorvel.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvel)
set(CPACK_PACKAGE_VENDOR Pelmora)
set(CPACK_PACKAGE_CONTACT "Pelmora <support@zorvel.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL http://www.zorvel.com/mouse)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of the Zorvel voice mouse")
set(CPACK_PACKAGE_DESCRIPTION "Hold the mouse's side key and speak: the recording is recognised and the \
text is typed into the focused window, carried out as a spoken command or translated and typed.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Shared libraries give most of Depends; the offline English model and the Qt plug-ins that are
# loaded at run time (audio input, image formats) are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "pocketsphinx-en-us, libqt5multimedia5-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
include(CPack)
