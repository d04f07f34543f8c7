# Linux: everything the build does only for Linux. The program carries every
# desktop's backend (src/platform/x11 and src/platform/wayland, over what they
# share in src/platform/linux) and picks one at start from the session
# (src/platform/linux too); its windows are the Qt front end (src/ui/qt). It
# is installed under libexec/ with a link in bin/ and packed as a Debian
# package (cmake/packaging-deb.cmake). Included by the top-level
# CMakeLists.txt, which calls dwellmark_os_program() once src/ is configured.

# wayland-scanner writes the code of the Wayland protocols in C.
enable_language(C)

# Folders under src/: what the backends share and the choice among them, then the backends.
set(DWELLMARK_PLATFORM_DIRS platform/linux platform/x11 platform/wayland)
set(DWELLMARK_FRONTEND qt)
set(DWELLMARK_ENTRY linux)
# Folders under tests/: those of the backends, and those that run the program.
set(DWELLMARK_BACKEND_TEST_DIRS platform/linux platform/x11 platform/wayland)
set(DWELLMARK_PROGRAM_TEST_DIRS e2e)
# Folders under tests/support: the harness parts this system's tests use.
set(DWELLMARK_TEST_SUPPORT core process x11 wayland atspi qt)
# The label of the tests of what every front end shares.
set(DWELLMARK_UI_COMMON_TEST_LABEL ui)
# How GoogleTest programs are listed: run after the build, as they run here.
set(DWELLMARK_GTEST_DISCOVERY DISCOVERY_TIMEOUT 60)

# The KWin script and GNOME Shell's extension, where the tests find them.
include(${PROJECT_SOURCE_DIR}/data/linux.cmake)

# The installed layout and the Debian package, once src/ has made its targets.
function(dwellmark_os_program)
    if(TARGET dwellmark)
        dwellmark_kwin_script_beside(dwellmark)
    endif()
    include(${PROJECT_SOURCE_DIR}/cmake/packaging-deb.cmake)
endfunction()
