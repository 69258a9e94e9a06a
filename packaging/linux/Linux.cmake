# Linux: the programs in bin/, the screen-reader library the calculator loads, and what puts
# the calculator in the desktop's menu, its icon theme and software centres; packed as a Debian
# package whose library dependencies dpkg-shlibdeps reads from the programs and the library.
include(GNUInstallDirs)

# The one name the desktop entry, the icons and the AppStream data are known by.
set(RECHNER_APP_ID de.tembra_lidorn.rechner)
RechnerReleaseTime(RECHNER_RELEASE_DAY "%Y-%m-%d")
RechnerReleaseTime(RECHNER_RELEASE_YEAR "%Y")
RechnerReleaseTime(RECHNER_RELEASE_STAMP "%a, %d %b %Y %H:%M:%S +0000")

set(sources ${CMAKE_CURRENT_LIST_DIR})
set(generated ${CMAKE_CURRENT_BINARY_DIR}/linux)
set(datadir ${CMAKE_INSTALL_DATADIR})
# Debian looks for the copyright and changelog under the package's own name, in lower case.
set(docdir ${datadir}/doc/rechner)

install(TARGETS rechner hostsignal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The screen-reader library, which the calculator finds from its own place.
install(TARGETS rechner-atk LIBRARY DESTINATION ${RECHNER_ATK_INSTALL_DIR})
install(FILES ${sources}/${RECHNER_APP_ID}.desktop DESTINATION ${datadir}/applications)

# The artwork script draws the theme's sizes; each PNG is named after its size.
file(GLOB icons ${PROJECT_SOURCE_DIR}/resources/icons/rechner-*.png)
foreach(icon ${icons})
    string(REGEX REPLACE ".*-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} DESTINATION ${datadir}/icons/hicolor/${size}x${size}/apps
            RENAME ${RECHNER_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/rechner.svg
        DESTINATION ${datadir}/icons/hicolor/scalable/apps RENAME ${RECHNER_APP_ID}.svg)

configure_file(${sources}/${RECHNER_APP_ID}.metainfo.xml.in
               ${generated}/${RECHNER_APP_ID}.metainfo.xml @ONLY)
install(FILES ${generated}/${RECHNER_APP_ID}.metainfo.xml DESTINATION ${datadir}/metainfo)

# Manual pages and the changelog are installed compressed, with no name or time in the gzip
# header, so that the same sources give the same bytes.
foreach(file rechner.1 hostsignal.1 changelog)
    configure_file(${sources}/${file}.in ${generated}/${file} @ONLY)
    execute_process(COMMAND gzip -9nkf ${file} WORKING_DIRECTORY ${generated}
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${generated}/rechner.1.gz ${generated}/hostsignal.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
configure_file(${sources}/copyright.in ${generated}/copyright @ONLY)
install(FILES ${generated}/copyright ${generated}/changelog.gz DESTINATION ${docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's texts are laid out for DejaVu Sans Bold, which no linked library pulls in; the
# calculator loads libdbus itself to ask whether a screen reader listens.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, libdbus-1-3")
# Lines for an 80-column terminal, as Debian asks.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Rechner is the companion calculator of the household-budget application\n"
    "Tembra Lidorn: a small, borderless pocket calculator that stays above other\n"
    "windows, turns translucent while another application is active and remembers\n"
    "where it was put. It computes exactly with amounts of four decimal places,\n"
    "by mouse or keyboard; its texts are German.\n"
    "\n"
    "hostsignal closes a running calculator or asks whether one runs, as the host\n"
    "application does.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
