# The Debian package: `cpack -G DEB` in the release build folder.
set(CPACK_PACKAGE_NAME orvex-support-tool)
set(CPACK_PACKAGE_VENDOR Tamsel)
set(CPACK_PACKAGE_VERSION ${ORVEX_VERSION_STRING})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Set-up, tuning and diagnostics of Orvex servo drives")
set(CPACK_PACKAGE_DESCRIPTION
    "The Orvex Support Tool configures an Orvex digital servo drive for its motor, tunes its\n\
loops, shows its status and error log and downloads its operating system over a serial\n\
port; orvex-drive carries out the same drive actions from a script.")
set(CPACK_PACKAGE_CONTACT "Orvex Support Tool maintainers <support-tool@tamsel.invalid>")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/COPYING)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORVEX_HOMEPAGE_URL})
# dpkg-shlibdeps finds the Qt 6 libraries the program and the motor database
# library link; the platform plugins that show the window are a package of
# their own, loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session")

include(CPack)
