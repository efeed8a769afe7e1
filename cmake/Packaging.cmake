# Installing and packaging: `quarn` and `quarn-cli` into bin/, the desktop entry and the
# icon in the theme's sizes into share/; `cpack -G DEB` makes a .deb for Debian 12.

include(GNUInstallDirs)
install(TARGETS quarn quarn-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/res/quarn.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarn)
set(CPACK_PACKAGE_VENDOR QUARN)
set(CPACK_PACKAGE_CONTACT "QUARN developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Flight records, navaids and approaches")
set(CPACK_PACKAGE_DESCRIPTION
    "Turns the flight records of a late-1990s PC flight simulator into graphs, a track
map with the radio navaids around it, views of the final approach against the ILS,
summary screens and text reports, and builds its navaid database from the
simulator's BGL scenery files. quarn is the desktop program; quarn-cli runs the
same code from a script, without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The Qt 6 runtime packages of the libraries the programs link (their platform plugins,
# offscreen and xcb among them, come with libqt6gui6), at least the Qt built against;
# libX11 for the lock keys' indicators; zlib, pugixml and simdjson for the track readers;
# the C and C++ runtimes as Debian 12's compiler needs them.
set(quarn_qt_min "(>= ${Qt6_VERSION_MAJOR}.${Qt6_VERSION_MINOR})")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 ${quarn_qt_min}, libqt6gui6 ${quarn_qt_min}, libqt6widgets6 ${quarn_qt_min}, \
libqt6printsupport6 ${quarn_qt_min}, libqt6svg6 ${quarn_qt_min}, libx11-6, \
zlib1g (>= 1:1.2), libpugixml1v5 (>= 1.13), libsimdjson14 (>= 3.0), libtbb12 (>= 2021.5), \
libsqlite3-0 (>= 3.31), libc6 (>= 2.34), libstdc++6 (>= 11), libgcc-s1 (>= 3.0)")
# Text is measured and drawn in "Arial"; Liberation Sans is its metric twin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
include(CPack)
