# How the installed program is packed: a Debian package on Linux
# (`cpack -G DEB` in a build folder, or scripts/package). Included by
# src/app once the program's install rules are known.
set(CPACK_PACKAGE_NAME dwellmark)
set(CPACK_PACKAGE_VENDOR "Dwellmark")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Lines under 80 columns, as Debian asks of a package's description.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Dwellmark watches which top-level window holds the foreground and lists\n"
    "every stretch of use, the time summed per window title, and a bar chart\n"
    "of it. Nothing is written to disk or sent anywhere.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGE_CONTACT "${DWELLMARK_SUPPORT_EMAIL}")
set(CPACK_STRIP_FILES ON)

if(NOT WIN32)
    set(CPACK_GENERATOR DEB)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Dwellmark developers <${DWELLMARK_SUPPORT_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found among the libraries the program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, fonts-liberation")
if(NOT WIN32)
    # The maintainer script points GNOME Shell at the variant of the extension
    # that it loads, again whenever GNOME Shell changes (the trigger).
    set(DWELLMARK_CHOOSE_EXTENSION /usr/${CMAKE_INSTALL_LIBEXECDIR}/dwellmark/choose-gnome-extension)
    set(DWELLMARK_DATADIR /usr/${CMAKE_INSTALL_DATADIR})
    configure_file(${PROJECT_SOURCE_DIR}/data/debian/postinst.in ${PROJECT_BINARY_DIR}/debian/postinst @ONLY)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/postinst
                                           ${PROJECT_SOURCE_DIR}/data/debian/triggers)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
include(CPack)
