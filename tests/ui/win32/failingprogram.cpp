// A program for the tests: the main window over a desktop that fails on its
// first question, so that the failure escapes a tick of the real window.
#include "fakes.h"
#include "tracking/activitytracker.h"
#include "tracking/changefeed.h"
#include "tracking/windowsystem.h"
#include "ui/win32/mainwindow.h"

#include <commctrl.h>
#include <stdexcept>

namespace {

class FailingDesktop final : public dwellmark::WindowSystem, public dwellmark::ChangeFeed {
public:
    dwellmark::WindowHandle foregroundWindow() override { throw std::runtime_error("the desktop went away"); }
    bool isWindow(dwellmark::WindowHandle) override { return false; }
    std::string getWindowTitle(dwellmark::WindowHandle) override { return {}; }
    std::string getProcessName(dwellmark::WindowHandle) override { return {}; }
};

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    FailingDesktop desktop;
    dwellmark::testing::FakeClock clock;
    clock.now = 43200.0F;
    dwellmark::ActivityTracker tracker(desktop, clock);
    dwellmark::ui::win32::MainWindow form(tracker, desktop, L".");
    form.show();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Never reached: the first tick ends the program.
    return 3;
}
