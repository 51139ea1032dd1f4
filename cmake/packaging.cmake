# A Debian package of the installed layout: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME tabulon2x2)
set(CPACK_PACKAGE_VENDOR "Tabulon 2x2")
set(CPACK_PACKAGE_CONTACT "${TABULON_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "association in a fourfold (2x2) table")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop calculator for the association in a 2x2 contingency table. It runs\n\
Fisher's exact test and the chi-square test with Yates' correction, names the\n\
method that applies and grades its verdict at the levels 0.10, 0.05 and 0.01.\n\
The interface is in Russian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped as dh_strip strips: symbols, .comment and .note.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/strip.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Shared-library dependencies come from dpkg-shlibdeps. Qt loads its platform plugins
# at run time, out of sight of shlibdeps, so that package is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
