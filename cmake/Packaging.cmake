# `make package` (cpack -G DEB): one Debian package of everything `cmake --install` installs:
# the program and the command-line tool, libzentravo with its headers, CMake package and
# pkg-config file, the samples, the help page, the desktop entry and icon, the project file
# type, the thumbnailer and the AppStream description. The libraries it links are found by
# dpkg-shlibdeps; the Qt plugins it loads at run time are listed here.
set(ZENTRAVO_PACKAGE_CONTACT "The Zentravo developers <developers@zentravo.org>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentravo)
set(CPACK_PACKAGE_VENDOR "The Zentravo developers")
set(CPACK_PACKAGE_CONTACT ${ZENTRAVO_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animation authoring tool for texts and painted symbols")
set(CPACK_PACKAGE_DESCRIPTION "Zentravo places styled texts and painted multi-frame symbols \
on a stage and moves, turns, scales and fades them along straight lines or guide lines on a \
timeline of layers; the animation is exported as an animated GIF, WebP or PNG, an MP4, WebM \
or AVI video, a SWF movie or PNG frames. \
The package holds the program, the command-line tool zentravo-cli, the libzentravo library of \
picture and GIF classes with its headers, sample projects and the help page.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Installed under /usr whatever CMAKE_INSTALL_PREFIX the build was configured with.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZENTRAVO_WEBSITE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so dpkg-shlibdeps cannot see them: the WBMP reader.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")
# Wayland sessions without XWayland, and the fonts the samples and text styles are drawn with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-dejavu-core, fonts-liberation")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)

include(CPack)
