// The backend against the real user32 and PSAPI: windows of this program and
// of a second one, brought to the foreground and read back, and the session's
// lock and unlock as the session's notifications bring them.
#include "app/win32/win32program.h"
#include "fakes.h"
#include "messagepump.h"
#include "platform/platform.h"
#include "platform/win32/loginsessionlock.h"
#include "platform/win32/processname.h"
#include "testprogram.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace dwellmark::platform::win32 {
namespace {

using testing::bringToForeground;
using testing::pumpMessagesUntil;

constexpr wchar_t testWindowClass[] = L"DwellmarkDesktopTest";

class Desktop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = testWindowClass;
        RegisterClassW(&windowClass);
    }

    void TearDown() override {
        for (HWND window : m_windows) {
            if (IsWindow(window)) {
                DestroyWindow(window);
            }
        }
    }

    /// A shown window of this program, top-level or a child of the parent, destroyed when the test ends.
    HWND createWindow(const std::wstring& title, HWND parent = nullptr) {
        const DWORD style = parent == nullptr ? WS_OVERLAPPEDWINDOW : WS_CHILD;
        const HWND window = CreateWindowExW(0, testWindowClass, title.c_str(), style, 60, 60, 320, 200, parent, nullptr,
                                            GetModuleHandleW(nullptr), nullptr);
        if (window != nullptr) {
            m_windows.push_back(window);
            ShowWindow(window, SW_SHOW);
        }
        return window;
    }

    /// Starts the second program (the window-owning one unless another path
    /// is given) with a window of that title; the window once it shows,
    /// nullptr when none came. The program is ended when the test leaves.
    HWND startForeign(const std::wstring& title, const std::wstring& path = foreignProgram()) {
        m_foreign = std::make_unique<testing::TestProgram>(path, title);
        EXPECT_NE(m_foreign->process(), nullptr) << "the second program did not start";
        return m_foreign->waitForWindow(L"DwellmarkForeignWindow", title.c_str());
    }

    /// Closes the second program's window and waits for the program to end.
    bool closeForeign(HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return m_foreign->exitStatus().has_value();
    }

    /// Starts the second program copied under the frame host's name, to draw
    /// a Store app's frame, and brings its window to the foreground; that
    /// window, or nullptr when any step failed.
    HWND storeAppFrameInFront() {
        const std::wstring frameHost = app::programFolder() + L"\\ApplicationFrameHost.exe";
        if (CopyFileW(foreignProgram().c_str(), frameHost.c_str(), FALSE) == FALSE) {
            return nullptr;
        }
        const HWND window = startForeign(L"Calculator", frameHost);
        return window != nullptr && bringToForeground(window) ? window : nullptr;
    }

    platform::Desktop m_desktop = platform::openDesktop();
    WindowSystem* m_system = m_desktop.windows.get();
    ChangeFeed* m_changes = m_desktop.changes;

private:
    static std::wstring foreignProgram() { return app::programFolder() + L"\\" DWELLMARK_FOREIGN_WINDOW_EXE; }

    std::vector<HWND> m_windows;
    std::unique_ptr<testing::TestProgram> m_foreign;
};

TEST_F(Desktop, ForegroundWindowOfThisProgramIsNamedByTitleAndExecutable) {
    const HWND window = createWindow(L"Dwellmark probe test");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(bringToForeground(window));

    const WindowHandle handle = m_system->foregroundWindow();
    EXPECT_EQ(toHwnd(handle), window);
    EXPECT_TRUE(m_system->isWindow(handle));
    EXPECT_EQ(m_system->getWindowTitle(handle), "Dwellmark probe test");
    EXPECT_EQ(m_system->getProcessName(handle), DWELLMARK_TEST_EXE);
}

TEST_F(Desktop, WindowOfAnotherProgramIsNamedByThatProgramsExecutable) {
    const HWND window = startForeign(L"Dwellmark foreign window");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(bringToForeground(window));

    const WindowHandle handle = m_system->foregroundWindow();
    EXPECT_EQ(toHwnd(handle), window);
    EXPECT_EQ(m_system->getWindowTitle(handle), "Dwellmark foreign window");
    EXPECT_EQ(m_system->getProcessName(handle), DWELLMARK_FOREIGN_WINDOW_EXE);

    // Once the program has ended its window is gone and nothing can be read.
    ASSERT_TRUE(closeForeign(window));
    EXPECT_FALSE(m_system->isWindow(handle));
    EXPECT_EQ(m_system->getWindowTitle(handle), "");
    EXPECT_EQ(m_system->getProcessName(handle), "");
}

TEST_F(Desktop, StoreAppFrameIsNamedByTheProgramOfItsChildWindow) {
    // The frame host draws the frame; the app's window is a child of it that
    // belongs to this program.
    const HWND window = storeAppFrameInFront();
    ASSERT_NE(window, nullptr);
    const WindowHandle handle = m_system->foregroundWindow();
    ASSERT_EQ(toHwnd(handle), window);
    EXPECT_EQ(m_system->getProcessName(handle), "ApplicationFrameHost.exe");

    const HWND app = createWindow(L"", window);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(m_system->getProcessName(handle), DWELLMARK_TEST_EXE);
    DestroyWindow(app);
    EXPECT_TRUE(closeForeign(window));
}

TEST_F(Desktop, StoreAppFrameInFrontBeforeItsAppJoinsIsLoggedUnderTheApp) {
    const HWND window = storeAppFrameInFront();
    ASSERT_NE(window, nullptr);
    testing::FakeClock clock;
    clock.now = 600.0F;
    ActivityTracker tracker(*m_system, clock);
    tracker.tick();
    ASSERT_EQ(tracker.openStretches().rowCount(), 1U);
    EXPECT_EQ(tracker.openStretches().text(1, OpenColumn::Application), "ApplicationFrameHost.exe");

    // The app joins its frame a moment later, as Store apps do while they start.
    const HWND app = createWindow(L"", window);
    ASSERT_NE(app, nullptr);
    clock.pass(4.0);
    tracker.tick();
    const HWND other = createWindow(L"Another window");
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(bringToForeground(other));
    tracker.tick();
    ASSERT_GE(tracker.usageLog().rowCount(), 1U);
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::Application), DWELLMARK_TEST_EXE);
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::WindowTitle), "Calculator");
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::Total), "4");
    DestroyWindow(app);
    EXPECT_TRUE(closeForeign(window));
}

TEST_F(Desktop, WindowWithoutATitleHasAnEmptyTitleButItsExecutable) {
    const HWND window = createWindow(L"");
    ASSERT_NE(window, nullptr);
    const WindowHandle handle = toWindowHandle(window);
    EXPECT_EQ(m_system->getWindowTitle(handle), "");
    EXPECT_EQ(m_system->getProcessName(handle), DWELLMARK_TEST_EXE);
}

TEST_F(Desktop, DestroyedWindowIsNoWindowAndHasNoTexts) {
    const HWND window = createWindow(L"Soon gone");
    ASSERT_NE(window, nullptr);
    const WindowHandle handle = toWindowHandle(window);
    ASSERT_TRUE(m_system->isWindow(handle));
    DestroyWindow(window);

    EXPECT_FALSE(m_system->isWindow(handle));
    EXPECT_EQ(m_system->getWindowTitle(handle), "");
    EXPECT_EQ(m_system->getProcessName(handle), "");
}

TEST_F(Desktop, TitlesOutsideAnyCodePageComeBackExactly) {
    // Two titles of the same length that an 8-bit code page would both turn into "??".
    const HWND first = createWindow(L"\u00dcberblick \u2013 \u6982\u8981");
    const HWND second = createWindow(L"\u00dcberblick \u2013 \u5927\u7db1 \U0001F4CA");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(m_system->getWindowTitle(toWindowHandle(first)), "\xc3\x9c"
                                                               "berblick \xe2\x80\x93 \xe6\xa6\x82\xe8\xa6\x81");
    EXPECT_EQ(m_system->getWindowTitle(toWindowHandle(second)),
              "\xc3\x9c"
              "berblick \xe2\x80\x93 \xe5\xa4\xa7\xe7\xb6\xb1 \xf0\x9f\x93\x8a");
}

TEST_F(Desktop, LongTitleComesBackWhole) {
    std::wstring title;
    for (int i = 0; i < 100; ++i) {
        title += L"Kapitel " + std::to_wstring(i) + L" \u2013 ";
    }
    const HWND window = createWindow(title);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(m_system->getWindowTitle(toWindowHandle(window)), toUtf8(title));
}

constexpr char noReports[] = "this desktop does not report destroyed windows; the front end ticks on its timer";

// The change reports behind the front end's event-driven ticks. Each case first
// waits for the state that must be reported, so a report of something else
// could at worst let a case pass early, never fail.
TEST_F(Desktop, ForegroundSwitchToAnotherProgramAndItsEndAreReported) {
    const HWND own = createWindow(L"Dwellmark listener test");
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(bringToForeground(own));
    const HWND foreign = startForeign(L"Dwellmark reported window");
    ASSERT_NE(foreign, nullptr);
    // Its start may have taken the foreground already; take it back first.
    ASSERT_TRUE(bringToForeground(own));

    int reports = 0;
    if (!m_changes->setChangeListener([&] { ++reports; })) {
        GTEST_SKIP() << noReports;
    }
    reports = 0;
    ASSERT_TRUE(bringToForeground(foreign));
    EXPECT_TRUE(pumpMessagesUntil([&] { return reports > 0; }));

    reports = 0;
    ASSERT_TRUE(closeForeign(foreign));
    EXPECT_TRUE(pumpMessagesUntil([&] { return reports > 0; }));
}

TEST_F(Desktop, DestroyedWindowIsReportedOnlyToLiveListeners) {
    const HWND window = createWindow(L"Reported when gone");
    ASSERT_NE(window, nullptr);
    int reports = 0;
    int goneReports = 0;
    if (!m_changes->setChangeListener([&] { ++reports; })) {
        GTEST_SKIP() << noReports;
    }
    {
        // A second backend on the same thread, gone before the window: its
        // hooks must be gone with it.
        const auto gone = platform::openDesktop();
        ASSERT_TRUE(gone.changes->setChangeListener([&] { ++goneReports; }));
    }
    reports = 0;
    DestroyWindow(window);
    EXPECT_TRUE(pumpMessagesUntil([&] { return reports > 0; }));
    EXPECT_EQ(goneReports, 0);

    // A cleared listener is not called, and a new one is.
    ASSERT_FALSE(m_changes->setChangeListener({}));
    const HWND second = createWindow(L"Reported to the new listener");
    ASSERT_NE(second, nullptr);
    int newReports = 0;
    reports = 0;
    ASSERT_TRUE(m_changes->setChangeListener([&] { ++newReports; }));
    DestroyWindow(second);
    EXPECT_TRUE(pumpMessagesUntil([&] { return newReports > 0; }));
    EXPECT_EQ(reports, 0);
}

// The session's notifications, as Windows sends them to the lock's window
// when the user presses Win+L and signs in again.
TEST_F(Desktop, ALockedSessionEndsTheStretchAndItsTimeIsNotLogged) {
    const HWND notes = createWindow(L"Notes before the lock");
    ASSERT_NE(notes, nullptr);
    ASSERT_TRUE(bringToForeground(notes));
    const HWND lockWindow = FindWindowW(LoginSessionLock::windowClass, nullptr);
    ASSERT_NE(lockWindow, nullptr);
    int reports = 0;
    m_changes->setChangeListener([&] { ++reports; });
    const auto session = [&](WPARAM change) {
        SendMessageW(lockWindow, WM_WTSSESSION_CHANGE, change, static_cast<LPARAM>(WTSGetActiveConsoleSessionId()));
    };
    testing::FakeClock clock;
    clock.now = 3600.0F;
    ActivityTracker tracker(*m_system, clock);
    tracker.tick();

    clock.pass(6.0);
    reports = 0;
    session(WTS_SESSION_LOCK);
    EXPECT_EQ(reports, 1) << "a lock must bring a tick at once";
    tracker.tick();
    clock.pass(900.0);
    tracker.tick();
    ASSERT_EQ(tracker.usageLog().rowCount(), 1U);
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::Total), "6");

    session(WTS_SESSION_UNLOCK);
    tracker.tick();
    clock.pass(3.0);
    // Made only now, so that the window manager cannot give it the foreground earlier.
    const HWND other = createWindow(L"Another window");
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(bringToForeground(other));
    tracker.tick();
    ASSERT_EQ(tracker.usageLog().rowCount(), 2U) << "the unlock opens a new stretch of the window in front";
    EXPECT_EQ(tracker.usageLog().text(2, LogColumn::WindowTitle), "Notes before the lock");
    EXPECT_EQ(tracker.usageLog().text(2, LogColumn::Time), "00:00:06 - 00:00:09");
    EXPECT_EQ(tracker.totals().text(1, TotalsColumn::TotalSeconds), "9");
}

} // namespace
} // namespace dwellmark::platform::win32
