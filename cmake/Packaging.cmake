# `cpack -G DEB` in the build tree packages what `cmake --install` installs, under /usr: the
# executables, lib/tessaro (the player and export modules), share/tessaro (the data), the desktop
# entry, the AppStream listing and the icons. The package's dependencies are derived from the
# executables and the modules (FFmpeg; the spreadsheet libraries) by dpkg-shlibdeps (package
# dpkg-dev), so they follow the libraries the build really links. Only what no executable links
# is named by hand: recommendations for a native Wayland window and for Chinese text.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaro)
set(CPACK_PACKAGE_VENDOR "The Tessaro developers")
set(CPACK_PACKAGE_CONTACT "The Tessaro developers <developers@tessaro.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://tessaro.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "planner for video walls of flat display panels")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaro plans video walls built from identical flat display panels: the wall, the display
model, columns, rows and orientation, the wall drawn in a room with every dimension, content
previewed across the panels, and a data sheet with power and packaging exported to
.xlsx. tessaro-quote quotes walls by the same rules from a terminal. English and Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-wqy-microhei")
include(CPack)
