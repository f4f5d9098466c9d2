# Installation and the Debian package.
#
# The window looks for its manual in the folder of its executable, so the window and the manual live
# together in lib/zorel8z-configurator/ and bin/ holds a link to the window (the program resolves the
# link to find its folder). The command-line tool goes straight into bin/; the module its sheet
# command draws with sits beside the window.
install(TARGETS zorel8z-configurator RUNTIME DESTINATION ${ZOREL_APP_DIR} COMPONENT app)
install(FILES ${ZOREL_MANUAL_PDF} DESTINATION ${ZOREL_APP_DIR} COMPONENT app)
install(TARGETS zorel8z RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT app)
# The tool's sheet command loads this module from the window's folder (src/cli/SheetLoader.cpp).
install(TARGETS zorel8z-sheet LIBRARY DESTINATION ${ZOREL_APP_DIR} COMPONENT app)
# The window loads the module of its single-instance socket from its own folder.
install(TARGETS zorel8z-instance LIBRARY DESTINATION ${ZOREL_APP_DIR} COMPONENT app)
# Both programs load Qt's serial port from the window's folder when they first list or open a port.
if(TARGET zorel8z-line)
  install(TARGETS zorel8z-line LIBRARY DESTINATION ${ZOREL_APP_DIR} COMPONENT app)
endif()

# A relative link, so the installed tree can be moved (DESTDIR, a package) without breaking it.
file(RELATIVE_PATH _zorel_link_target ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${ZOREL_APP_DIR}/zorel8z-configurator)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-link)
file(CREATE_LINK ${_zorel_link_target} ${CMAKE_BINARY_DIR}/install-link/zorel8z-configurator SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install-link/zorel8z-configurator DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT app)

install(FILES packaging/zorel8z-configurator.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT app)
install(FILES packaging/com.quendalsoftware.Zorel8zConfigurator.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT app)
foreach(size 48 128 256)
  install(FILES ${ZOREL_ICON_DIR}/${size}x${size}/zorel8z-configurator.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT app)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorel8z-configurator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QuendalSoftware")
set(CPACK_PACKAGE_CONTACT "Zorel-8Z Configurator developers <zorel8z@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator of Zorel-8Z intruder-alarm control panels")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads, edits and writes the configuration of a Zorel-8Z eight-zone alarm control panel over USB or through the monitoring station's server; keeps configurations in files and exports object descriptions for the monitoring station. Ukrainian user interface and manual.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries the programs link, found by dpkg-shlibdeps; the window system's Qt plugins and the
# Ukrainian texts of Qt's own dialogs come from packages of their own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
