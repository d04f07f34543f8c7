// dwellmark.exe under Wine, watched from outside: windows of a second program
// brought to the foreground in a known order, the lists read back through
// LVM_GETITEMTEXTW in the program's own memory, the chart, and the close.
#include "messagepump.h"
#include "testprogram.h"
#include "win32api/windowsheaders.h"

#include <chrono>
#include <commctrl.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using dwellmark::testing::bringToForeground;
using dwellmark::testing::TestProgram;

// Limits that only catch hangs.
constexpr auto hangLimit = 60s;

bool waitFor(const std::function<bool()>& condition) {
    return dwellmark::testing::pumpMessagesUntil(condition, hangLimit);
}

/// Reads the cells of a ListView of another process through memory of its own.
class RemoteList {
public:
    RemoteList(HWND list, DWORD processId)
        : m_list(list),
          m_process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId)),
          m_memory(m_process == nullptr ? nullptr
                                        : VirtualAllocEx(m_process, nullptr, sizeof(LVITEMW) + textBytes,
                                                         MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteList() {
        if (m_process != nullptr) {
            VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
            CloseHandle(m_process);
        }
    }
    RemoteList(const RemoteList&) = delete;
    RemoteList& operator=(const RemoteList&) = delete;

    bool usable() const { return m_memory != nullptr; }
    int rowCount() const { return static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)); }

    std::wstring text(int row, int column) const {
        auto* remoteText = static_cast<char*>(m_memory) + sizeof(LVITEMW);
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<LPWSTR>(remoteText);
        item.cchTextMax = static_cast<int>(textBytes / sizeof(wchar_t));
        SIZE_T done = 0;
        WriteProcessMemory(m_process, m_memory, &item, sizeof item, &done);
        const auto length =
            SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(m_memory));
        std::wstring text(static_cast<std::size_t>(length), L'\0');
        ReadProcessMemory(m_process, remoteText, text.data(), text.size() * sizeof(wchar_t), &done);
        return text;
    }

    /// The first row whose column holds the text, or -1.
    int find(int column, const std::wstring& wanted) const {
        const int rows = rowCount();
        for (int row = 0; row < rows; ++row) {
            if (text(row, column) == wanted) {
                return row;
            }
        }
        return -1;
    }

private:
    static constexpr std::size_t textBytes = 1024;
    HWND m_list;
    HANDLE m_process;
    void* m_memory;
};

/// The control with the keyboard focus on the thread of another program's window.
HWND focusOf(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) != FALSE ? thread.hwndFocus : nullptr;
}

TEST(Program, LogsForeignWindowsInOrderShowsTheChartThatIsLoggedItselfAndEndsOnClose) {
    const std::vector<std::wstring> titles{L"Plain ASCII window", L"Привет", L"漢字のウィンドウ"};
    std::vector<std::unique_ptr<TestProgram>> foreign;
    std::vector<HWND> windows;
    for (const std::wstring& title : titles) {
        foreign.push_back(std::make_unique<TestProgram>(L"" DWELLMARK_FOREIGN_WINDOW, title));
        windows.push_back(foreign.back()->waitForWindow(L"DwellmarkForeignWindow", title.c_str(), hangLimit));
        ASSERT_NE(windows.back(), nullptr);
    }

    // The first foreign window's stretch opens at the test's request, not before.
    ASSERT_TRUE(bringToForeground(windows.back(), hangLimit));
    // The window manager hands the focus back to the program's newest window
    // when another program's window asks for it; started minimised (as a
    // shortcut can ask), the program stays out of the way while the foreign
    // windows take turns, and keeps ticking. Minimising it here instead would
    // hand the foreground on, at a moment of the system's choosing: to the
    // next window in the Z order, as Windows does (Wine 10), or to none (Wine 8).
    TestProgram dwellmark(L"" DWELLMARK_EXE, L"", SW_SHOWMINNOACTIVE);
    ASSERT_NE(dwellmark.process(), nullptr);
    const HWND main = dwellmark.waitForWindow(L"DwellmarkMain", L"Dwellmark", hangLimit);
    ASSERT_NE(main, nullptr);
    const HWND log = GetDlgItem(main, 101);
    const HWND totals = GetDlgItem(main, 102);
    const HWND displayChart = GetDlgItem(main, 104);
    ASSERT_TRUE(log != nullptr && totals != nullptr && displayChart != nullptr);
    RemoteList logRows(log, dwellmark.id());
    RemoteList totalRows(totals, dwellmark.id());
    ASSERT_TRUE(logRows.usable() && totalRows.usable());
    RemoteList openRows(GetDlgItem(main, 103), dwellmark.id());
    ASSERT_TRUE(openRows.usable());

    // Each foreign window in turn, for a pause of its own; the stretches are
    // measured here as the time between the switches seen from outside.
    const std::vector<DWORD> pauses{1500, 2500, 1000};
    std::vector<double> measured;
    // The program has seen the window gain the foreground: its open stretch.
    const auto seenOpen = [&](std::size_t i) {
        const int row = openRows.find(2, titles[i]);
        return row >= 0 && openRows.text(row, 4).empty();
    };
    // What the program logged before the first foreign window's turn (the
    // window in front as it started) comes before the test's rows.
    int base = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        ASSERT_TRUE(bringToForeground(windows[i], hangLimit));
        ASSERT_TRUE(waitFor([&] { return seenOpen(i); })) << "the program did not see window " << i;
        base = i == 0 ? logRows.rowCount() : base;
        const std::uint64_t start = GetTickCount64();
        Sleep(pauses[i]);
        ASSERT_TRUE(seenOpen(i)) << "the foreground left window " << i << " without the test";
        if (i + 1 == windows.size()) {
            ShowWindow(main, SW_RESTORE);
        }
        ASSERT_TRUE(bringToForeground(i + 1 < windows.size() ? windows[i + 1] : main, hangLimit));
        ASSERT_TRUE(waitFor([&] { return logRows.rowCount() > base + static_cast<int>(i); }));
        measured.push_back(static_cast<double>(GetTickCount64() - start) / 1000.0);
    }
    ASSERT_TRUE(waitFor([&] { return logRows.rowCount() >= base + 3; })) << logRows.rowCount();
    ASSERT_EQ(logRows.rowCount(), base + 3);
    for (int row = base; row < base + 3; ++row) {
        const auto index = static_cast<std::size_t>(row - base);
        EXPECT_EQ(logRows.text(row, 0), L"win32_foreign_window.exe");
        EXPECT_EQ(logRows.text(row, 1), titles[index]);
        const double total = std::stod(logRows.text(row, 5));
        const std::wstring from = logRows.text(row, 2);
        const std::wstring to = logRows.text(row, 3);
        EXPECT_NEAR(total, measured[index], 1.0)
            << "row " << row << ": logged from " << std::string(from.begin(), from.end()) << " to "
            << std::string(to.begin(), to.end());
        const int totalsRow = totalRows.find(1, titles[index]);
        ASSERT_GE(totalsRow, 0);
        EXPECT_EQ(totalRows.text(totalsRow, 3), logRows.text(row, 5));
    }

    // "Display Chart" opens "Chart", which is logged like any other window.
    PostMessageW(displayChart, BM_CLICK, 0, 0);
    const HWND chart = dwellmark.waitForWindow(L"DwellmarkChart", L"Chart", hangLimit);
    ASSERT_NE(chart, nullptr);
    ASSERT_TRUE(bringToForeground(chart, hangLimit));
    EXPECT_EQ(IsWindowEnabled(main), FALSE);
    EXPECT_EQ(SendMessageW(displayChart, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Sleep(300);
    PostMessageW(chart, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(chart) == FALSE && IsWindowEnabled(main) != FALSE; }));
    ASSERT_TRUE(bringToForeground(main, hangLimit));
    ASSERT_TRUE(waitFor([&] { return logRows.rowCount() >= base + 4; }));
    EXPECT_EQ(logRows.text(base + 3, 0), L"dwellmark.exe");
    EXPECT_EQ(logRows.text(base + 3, 1), L"Chart");
    EXPECT_GE(totalRows.find(1, L"Chart"), 0);

    // The chart opens with the keyboard's focus: Esc, pressed with no click
    // first, closes it, and the box that opened it has the focus again.
    PostMessageW(displayChart, BM_CLICK, 0, 0);
    const HWND again = dwellmark.waitForWindow(L"DwellmarkChart", L"Chart", hangLimit);
    ASSERT_TRUE(again != nullptr && waitFor([&] { return GetForegroundWindow() == again; }));
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(again) == FALSE; }));
    EXPECT_TRUE(waitFor([&] { return focusOf(main) == displayChart; }));

    // Closing the main window ends the program, with status 0.
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(dwellmark.exitStatus(hangLimit), 0U);
}

TEST(Program, StartsMinimisedWhenItsShortcutSaysSoWithTheFocusOnTheLogOnceRestored) {
    for (const int showCommand : {SW_SHOWMINNOACTIVE, SW_MINIMIZE}) {
        TestProgram dwellmark(L"" DWELLMARK_EXE, L"", static_cast<WORD>(showCommand));
        const HWND main = dwellmark.waitForWindow(L"DwellmarkMain", L"Dwellmark", hangLimit);
        ASSERT_NE(main, nullptr);
        EXPECT_NE(IsIconic(main), FALSE) << "show command " << showCommand;
        ShowWindow(main, SW_RESTORE);
        ASSERT_TRUE(bringToForeground(main, hangLimit));
        EXPECT_TRUE(waitFor([&] { return focusOf(main) == GetDlgItem(main, 101); }));
    }
}

TEST(Program, AFailureThatNothingCatchesShowsOneMessageAndEndsTheProgram) {
    TestProgram failing(L"" DWELLMARK_FAILING_PROGRAM, L"");
    ASSERT_NE(failing.process(), nullptr);
    const HWND box = failing.waitForWindow(L"#32770", L"Dwellmark", hangLimit);
    ASSERT_NE(box, nullptr);
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    EXPECT_EQ(std::wstring(text), L"Dwellmark has to stop: the desktop went away");
    // The one message: no second box behind it, and the main window is gone.
    EXPECT_EQ(FindWindowExW(nullptr, box, L"#32770", L"Dwellmark"), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(failing.exitStatus(hangLimit), 1U);
}

} // namespace
