// Dwellmark on Windows: records which window holds the foreground, and for how long.
#include "platform/platform.h"
#include "tracking/activitytracker.h"
#include "ui/win32/failure.h"
#include "ui/win32/mainwindow.h"

#include <commctrl.h>
#include <exception>
#include <memory>
#include <string>

namespace {

// The folder that holds the program file.
std::wstring programFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/"));
}

int run() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const std::unique_ptr<dwellmark::WindowSystem> windows = dwellmark::platform::createWindowSystem();
    const std::unique_ptr<dwellmark::TimeOfDayClock> clock = dwellmark::platform::createClock();
    dwellmark::ActivityTracker tracker(*windows, *clock);
    dwellmark::ui::win32::MainWindow form(tracker, *windows, programFolder());
    form.show();

    MSG message;
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (IsDialogMessageW(form.handle(), &message) == FALSE) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::set_terminate([] { dwellmark::ui::win32::failAndExit("an unexpected failure"); });
    try {
        return run();
    } catch (const std::exception& failure) {
        dwellmark::ui::win32::failAndExit(failure.what());
    } catch (...) {
        dwellmark::ui::win32::failAndExit("an unknown failure");
    }
}
