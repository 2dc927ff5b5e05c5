# The Debian package of the converter, built by `cpack -G DEB` in the build
# folder: the two programs, the desktop entry, the icons, the file type and
# the manual pages, installed below /usr.
#
# Its dependencies are worked out by dpkg-shlibdeps from the programs
# themselves, so they name exactly the libraries the programs load: Qt 6
# Widgets (with Qt's core and GUI parts and the C++ runtime they need) and
# glibc. Nothing the tests use is installed, so nothing of theirs is needed.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nutaro-konverter)
set(CPACK_PACKAGE_VENDOR Nutaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converter for the food tables of the Nutaro calorie manager")
set(CPACK_PACKAGE_DESCRIPTION
    "Moves the food tables of the Nutaro calorie manager from Access databases of
Nutaro 3.x and 4.x into a new or existing Nutaro 4.x Access database or a
Nutaro 5.x table file (.ntd), in a window with German messages
(nutaro-konverter). The command nutaro dumps, loads, queries and converts the
same files from a terminal. Access files are read and written by the
program's own Jet 3/Jet 4 engine; Microsoft Access is not needed.")

set(NUTARO_PACKAGE_MAINTAINER "Nutaro <info@nutaro.de>" CACHE STRING "Maintainer named in the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NUTARO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.nutaro.de/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# German buttons in the toolkit's own dialogs, and a browser for the
# homepage command; the program works without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")

include(CPack)
