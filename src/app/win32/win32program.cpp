// The Windows program's parts wired together once, for main and for the tools
// that run the program as it is (the tick benchmark, the screenshots).
#include "app/win32/win32program.h"

#include "ui/win32/tickdriver.h"

#include <commctrl.h>

namespace dwellmark::app {

Win32Program::Win32Program(std::wstring programFolder, TickSource ticks)
    : m_desktop(platform::openDesktop()), m_clock(platform::createClock()), m_tracker(*m_desktop.windows, *m_clock) {
    // The classes of the ListViews and check boxes, before the first window.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    m_mainWindow =
        std::make_unique<ui::win32::MainWindow>(m_tracker, *m_desktop.changes, std::move(programFolder),
                                                std::make_unique<ui::win32::TickDriver>(*m_desktop.changes, ticks));
}

int Win32Program::exec(int showCommand) {
    m_mainWindow->show(showCommand);
    MSG message;
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (IsDialogMessageW(m_mainWindow->handle(), &message) == FALSE) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

std::wstring programFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/"));
}

} // namespace dwellmark::app
