// Dwellmark on Windows: records which window holds the foreground, and for how long.
#include "app/win32/win32program.h"
#include "ui/win32/failure.h"

#include <exception>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    std::set_terminate([] { dwellmark::ui::win32::failAndExit("an unexpected failure"); });
    try {
        dwellmark::app::Win32Program program(dwellmark::app::programFolder());
        return program.exec(showCommand);
    } catch (const std::exception& failure) {
        dwellmark::ui::win32::failAndExit(failure.what());
    } catch (...) {
        dwellmark::ui::win32::failAndExit("an unknown failure");
    }
}
