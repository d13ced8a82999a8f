# The Debian package (`cpack -G DEB` in a release build folder): what `cmake --install` puts under /usr.
set(CPACK_PACKAGE_NAME versweep)
set(CPACK_PACKAGE_VENDOR "Versweep developers")
set(CPACK_PACKAGE_CONTACT "Versweep developers <versweep@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds superseded release folders and moves them to the trash")
# No double quotes or semicolons: the text is copied into CPackConfig.cmake as it is.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Versweep tidies a download folder full of software releases named title, version and group tag,\n"
    "such as Foo.Bar.v2.1-ABC. It lists the folder with a check box per entry, groups the entries by title\n"
    "and checks every entry whose version is below the newest of its title, honouring a white list and a\n"
    "black list. Marks can be corrected by hand, by group tag or for all empty folders, a folder's files can\n"
    "be previewed, and the checked entries go to the trash after one confirmation.\n"
    "\n"
    "The package holds the window (versweep) and its command-line twin (versweep-scan).")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Libraries come from dpkg-shlibdeps; the font is loaded at run time, so no library check can find it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-wqy-microhei)
# Qt's own texts (dialog buttons, the folder chooser) in the window's language, also loaded at run time;
# without them those texts stay English, so the package recommends rather than requires them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

# The programs keep their settings out of the folder they were compiled to be installed to, so a package
# that puts them anywhere else would let a run as root write its settings into /usr/bin.
set(VERSWEEP_PACKAGE_CHECK ${PROJECT_BINARY_DIR}/package_check.cmake)
file(CONFIGURE OUTPUT ${VERSWEEP_PACKAGE_CHECK} CONTENT [[
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT "@CMAKE_INSTALL_PREFIX@" STREQUAL CPACK_PACKAGING_INSTALL_PREFIX)
    message(FATAL_ERROR "the package installs to ${CPACK_PACKAGING_INSTALL_PREFIX} but this build was configured"
        " for @CMAKE_INSTALL_PREFIX@: configure it with -DCMAKE_INSTALL_PREFIX=${CPACK_PACKAGING_INSTALL_PREFIX}"
        " (the release preset does)")
endif()
]] @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${VERSWEEP_PACKAGE_CHECK})

include(CPack)
