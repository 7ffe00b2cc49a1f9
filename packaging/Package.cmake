# The Debian package: `cpack -G DEB` in a build folder makes
# korvane3d_VERSION_amd64.deb from the install rules, its library dependencies
# found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane3d)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "CAM station and machine console for Vardimon milling, engraving and 3D-printing machines")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvane3D developers <developers@korvane3d.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its X11 platform plugin at run time; no library names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Opening manuals and reports, and desktop notifications.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libnotify-bin")
include(CPack)
