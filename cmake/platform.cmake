# The one place where the build chooses, by the target operating system, the
# window-system backends (src/platform/<backend>, with what they share), the
# front end (src/ui/<frontend>) and the program's entry (src/app or
# src/app/<frontend>), and the parts of the test harness (tests/support/<part>)
# that serve its tests. On Linux the program carries every desktop's backend
# and picks one at start from the session.
if(WIN32)
    set(DWELLMARK_PLATFORM_SHARED "")
    set(DWELLMARK_BACKENDS win32)
    set(DWELLMARK_FRONTEND win32)
    set(DWELLMARK_TEST_SUPPORT core win32)
else()
    set(DWELLMARK_PLATFORM_SHARED linux)
    set(DWELLMARK_BACKENDS x11 wayland)
    set(DWELLMARK_FRONTEND qt)
    set(DWELLMARK_TEST_SUPPORT core process x11 wayland atspi)
endif()
