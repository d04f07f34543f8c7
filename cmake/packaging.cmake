# What every package of Dwellmark says of itself, whatever its kind; the
# rules of each kind of package (cmake/packaging-deb.cmake, and
# cmake/os/windows.cmake for the installer) include this, add what their kind
# needs and then include CPack.
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
