# The one place where the build chooses, by the target operating system, the
# window-system backend (src/platform/<backend>), the front end
# (src/ui/<frontend>) and the program's entry (src/app or src/app/<frontend>).
if(WIN32)
    set(DWELLMARK_BACKEND win32)
    set(DWELLMARK_FRONTEND win32)
else()
    set(DWELLMARK_BACKEND x11)
    set(DWELLMARK_FRONTEND qt)
endif()
