// The main window and the chart window in-process under Wine, with a fake
// desktop and clock behind the tracker.
#include "expectedlayout.h"
#include "fakes.h"
#include "messagepump.h"
#include "reportingfeed.h"
#include "tracking/activitytracker.h"
#include "ui/texts.h"
#include "ui/win32/chartwindow.h"
#include "ui/win32/mainwindow.h"
#include "ui/win32/tickdriver.h"
#include "ui/win32/widetext.h"

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace dwellmark::ui::win32 {
namespace {

using namespace std::chrono_literals;
using testing::FakeClock;
using testing::FakeWindowSystem;
using testing::pumpMessagesUntil;
using testing::ReportingFeed;
namespace expected = testing::expected;

// Limits that only catch hangs; nothing here measures how fast anything is.
constexpr auto hangLimit = 30s;

/// Ticks only when the test calls tick itself.
class ManualTicks final : public TickPoster {
public:
    void start(HWND, UINT) override {}
    void stop() override {}
    void ticked() override {}
};

/// The visible enabled top-level windows of this thread: the modal ones while
/// the main window is disabled.
std::vector<HWND> modalWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (IsWindowVisible(window) != FALSE && IsWindowEnabled(window) != FALSE &&
                GetWindow(window, GW_OWNER) != nullptr) {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

/// Runs action while step is called every 10 ms from inside the modal loops
/// of this thread (a message box's or the chart window's, through a thread
/// timer that those loops deliver) until it returns true. False when the step
/// had not finished within the hang limit; the modal windows are closed then,
/// so that the test does not stay in their loops.
bool whileModal(std::function<bool()> step, const std::function<void()>& action) {
    static std::function<bool()> s_step;
    static std::chrono::steady_clock::time_point s_deadline;
    static bool s_timedOut = false;
    s_step = std::move(step);
    s_deadline = std::chrono::steady_clock::now() + hangLimit;
    s_timedOut = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        if (s_step && std::chrono::steady_clock::now() > s_deadline) {
            s_timedOut = true;
            s_step = nullptr;
            for (HWND window : modalWindows()) {
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
        } else if (const std::function<bool()> current = s_step; current && current()) {
            s_step = nullptr;
        }
    });
    action();
    KillTimer(nullptr, timer);
    s_step = nullptr;
    return !s_timedOut;
}

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT rectInParent(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring cellText(HWND list, int row, int column) {
    wchar_t text[512] = {};
    ListView_GetItemText(list, row, column, text, 512);
    return text;
}

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

bool isChecked(HWND box) {
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring clipboardText() {
    std::wstring text;
    if (OpenClipboard(nullptr) != FALSE) {
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
        GlobalUnlock(data);
        CloseClipboard();
    }
    return text;
}

/// The message box among the modal windows; nullptr while none is up.
HWND messageBox() {
    for (HWND window : modalWindows()) {
        if (classOf(window) == L"#32770") {
            return window;
        }
    }
    return nullptr;
}

class Forms : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        m_folder =
            std::filesystem::temp_directory_path() / ("dwellmark-forms-" + std::to_string(GetCurrentProcessId()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override {
        m_form.reset();
        m_tracker.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    /// The main window, shown, over the fake desktop and its changes unless
    /// other changes are given; ticked by hand unless other ticks are given
    /// (nullptr: the window's own, by what the changes report).
    MainWindow& makeForm(std::unique_ptr<TickPoster> ticks = std::make_unique<ManualTicks>(),
                         ChangeFeed* changes = nullptr) {
        m_tracker = std::make_unique<ActivityTracker>(m_windows, m_clock);
        m_tracker->setLoggedSeconds(12);
        m_form = std::make_unique<MainWindow>(*m_tracker, changes != nullptr ? *changes : m_windows, m_folder.wstring(),
                                              std::move(ticks));
        m_form->show();
        return *m_form;
    }

    /// The 1 ms ticks, whatever the desktop reports.
    std::unique_ptr<TickPoster> everyMillisecond() {
        return std::make_unique<TickDriver>(m_windows, dwellmark::TickSource::Timer);
    }

    /// The open chart once it shows; nullptr before.
    ChartWindow* shownChart() const {
        ChartWindow* chart = m_form->openChart();
        return chart != nullptr && IsWindowVisible(chart->handle()) != FALSE ? chart : nullptr;
    }

    /// Clicks "Display Chart" and runs the messages until the chart it asks
    /// for has been open and closed again (or it asked for none), with the
    /// step run while it is up (see whileModal).
    bool clickDisplayChart(std::function<bool()> step) {
        return whileModal(std::move(step), [&] {
            SendMessageW(m_form->displayChartBox(), BM_CLICK, 0, 0);
            ASSERT_TRUE(pumpMessagesUntil([&] { return !m_form->chartRequested(); }));
        });
    }

    /// Clicks box as a screen reader's default action does (BM_CLICK sent from
    /// another thread): whether the click had returned while the window that
    /// opened() finds was up and modal. The window is closed then.
    bool answersAClickFromAnotherThreadAtOnce(HWND box, const std::function<HWND()>& opened) {
        std::atomic<bool> returned{false};
        bool modalWhenReturned = false;
        bool closed = false;
        // The click is only taken while this thread runs its messages, inside whileModal.
        std::thread clicker([&] {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(box, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result);
            returned = true;
        });
        const auto closeWhenReturned = [&] {
            const HWND window = opened();
            if (window == nullptr || !returned) {
                return false;
            }
            modalWhenReturned = IsWindowEnabled(m_form->handle()) == FALSE;
            return PostMessageW(window, WM_CLOSE, 0, 0) != FALSE;
        };
        const bool finished = whileModal(closeWhenReturned, [&] {
            closed = pumpMessagesUntil([&] {
                return modalWhenReturned && !m_form->chartRequested() && m_form->openChart() == nullptr &&
                       !m_form->hideMeAnswerPending();
            });
        });
        clicker.join();
        return closed && finished;
    }

    /// Brings each fake window to the foreground at its time, and lets a tick see it.
    void switchTo(std::initializer_list<std::pair<WindowHandle, float>> visits) {
        for (const auto& [handle, at] : visits) {
            m_windows.focus(handle);
            m_clock.now = at;
            m_form->tick();
        }
    }

    FakeWindowSystem m_windows;
    FakeClock m_clock;
    std::filesystem::path m_folder;
    std::unique_ptr<ActivityTracker> m_tracker;
    std::unique_ptr<MainWindow> m_form;
};

TEST_F(Forms, MainWindowLayoutCaptionAndStart) {
    MainWindow& form = makeForm();
    const HWND window = form.handle();
    EXPECT_EQ(textOf(window), L"Dwellmark");
    EXPECT_EQ(m_tracker->loggedSeconds(), -1);
    ASSERT_EQ(form.dpi(), 96);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, expected::clientWidth);
    EXPECT_EQ(client.bottom, expected::clientHeight);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_NE(style & WS_MINIMIZEBOX, 0U);
    EXPECT_NE(style & WS_SYSMENU, 0U);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0U);
    EXPECT_EQ(style & WS_THICKFRAME, 0U);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
    EXPECT_EQ(GetClassLongPtrW(window, GCLP_HBRBACKGROUND), reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));

    const std::array<HWND, 5> controls{form.usageLog().handle(), form.totals().handle(), form.openStretches().handle(),
                                       form.displayChartBox(), form.hideMeBox()};
    // The children in the order of creation, which is the tab order.
    HWND child = GetWindow(window, GW_CHILD);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const expected::Control& place = expected::mainWindowControls.at(i);
        ASSERT_EQ(child, controls.at(i));
        const RECT rect = rectInParent(child);
        EXPECT_EQ(rect.left, place.left);
        EXPECT_EQ(rect.top, place.top);
        EXPECT_EQ(rect.right, place.left + place.width);
        EXPECT_EQ(rect.bottom, place.top + place.height);
        EXPECT_EQ(IsWindowVisible(child) != FALSE, place.shown);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    // The Tab key skips the list that is never shown.
    EXPECT_EQ(GetNextDlgTabItem(window, form.usageLog().handle(), FALSE), form.totals().handle());
    EXPECT_EQ(GetNextDlgTabItem(window, form.totals().handle(), FALSE), form.displayChartBox());
    EXPECT_EQ(GetNextDlgTabItem(window, form.displayChartBox(), FALSE), form.hideMeBox());
    EXPECT_EQ(GetFocus(), form.usageLog().handle());

    EXPECT_EQ(textOf(form.displayChartBox()), L"Display Chart");
    EXPECT_EQ(textOf(form.hideMeBox()), L"Hide Me");
    EXPECT_FALSE(isChecked(form.hideMeBox()) || isChecked(form.displayChartBox()));
    for (HWND box : {form.hideMeBox(), form.displayChartBox()}) {
        const LOGFONTW font = fontOf(box);
        EXPECT_STREQ(font.lfFaceName, L"Arial");
        EXPECT_EQ(font.lfHeight, -15); // 11.25 points at 96 dpi
        EXPECT_EQ(font.lfWeight, FW_BOLD);
    }
    EXPECT_EQ(ListView_GetItemCount(form.usageLog().handle()), 0);
    EXPECT_EQ(ListView_GetItemCount(form.totals().handle()), 0);
}

TEST_F(Forms, ListsHaveTheirColumnsFontsAndHiddenColumnsThatStayShut) {
    MainWindow& form = makeForm();
    const std::array<HWND, 3> lists{form.usageLog().handle(), form.totals().handle(), form.openStretches().handle()};
    for (std::size_t l = 0; l < lists.size(); ++l) {
        const HWND list = lists.at(l);
        const expected::List& columns = expected::mainWindowLists.at(l);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE));
        EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
        EXPECT_NE(style & LVS_OWNERDATA, 0U);
        EXPECT_NE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT, 0U);
        const LOGFONTW font = fontOf(list);
        EXPECT_STREQ(font.lfFaceName, L"Arial");
        EXPECT_EQ(font.lfHeight, -12); // 9 points at 96 dpi
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        const HWND header = ListView_GetHeader(list);
        ASSERT_EQ(Header_GetItemCount(header), static_cast<int>(columns.headers.size()));
        for (std::size_t i = 0; i < columns.headers.size(); ++i) {
            const int column = static_cast<int>(i);
            wchar_t text[64] = {};
            LVCOLUMNW info{};
            info.mask = LVCF_TEXT;
            info.pszText = text;
            info.cchTextMax = 64;
            ASSERT_TRUE(ListView_GetColumn(list, column, &info));
            EXPECT_EQ(std::wstring(text), widen(columns.headers[i]));
            EXPECT_EQ(ListView_GetColumnWidth(list, column), columns.widths[i]);
            if (columns.widths[i] == 0) {
                // Neither the list's calls nor the header's (which a drag of
                // the divider goes through) open a hidden column.
                ListView_SetColumnWidth(list, column, 80);
                EXPECT_EQ(ListView_GetColumnWidth(list, column), 0) << text;
                HDITEMW item{};
                item.mask = HDI_WIDTH;
                item.cxy = 80;
                Header_SetItem(header, column, &item);
                EXPECT_EQ(ListView_GetColumnWidth(list, column), 0) << text;
                // A drag from where the hidden column's divider lies.
                RECT rect{};
                Header_GetItemRect(header, column, &rect);
                SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.right, 5));
                SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(rect.right + 60, 5));
                SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(rect.right + 60, 5));
                EXPECT_EQ(ListView_GetColumnWidth(list, column), 0) << text;
            }
        }
    }
}

TEST_F(Forms, OnADisplayOfOneHundredAndFiftyPercentEverythingIsOneAndAHalfTimesLarger) {
    MainWindow& form = makeForm();
    RECT outer;
    GetWindowRect(form.handle(), &outer);
    SendMessageW(form.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&outer));
    EXPECT_EQ(form.dpi(), 144);
    RECT client;
    GetClientRect(form.handle(), &client);
    EXPECT_EQ(client.right, 839); // 559 x 1.5, rounded
    EXPECT_EQ(client.bottom, 843);
    const RECT list = rectInParent(form.totals().handle());
    EXPECT_EQ(list.left, 12);
    EXPECT_EQ(list.top, 408);
    EXPECT_EQ(list.right - list.left, 816);
    EXPECT_EQ(fontOf(form.usageLog().handle()).lfHeight, -18);
    EXPECT_EQ(fontOf(form.displayChartBox()).lfHeight, -23);
    EXPECT_EQ(ListView_GetColumnWidth(form.usageLog().handle(), 1), 350); // 175 points
    EXPECT_EQ(ListView_GetColumnWidth(form.usageLog().handle(), 2), 0);
}

TEST_F(Forms, ListsShowTheTrackersRowsAsTheyGrow) {
    MainWindow& form = makeForm();
    m_windows.create(11, "editor.exe", "Notes");
    m_windows.create(12, "browser.exe", "Привет");
    m_windows.create(13, "viewer.exe", "漢字のタイトル");
    switchTo({{11, 100.0F}, {12, 103.0F}, {13, 110.0F}, {11, 111.0F}});
    const HWND log = form.usageLog().handle();
    ASSERT_EQ(ListView_GetItemCount(log), 3);
    EXPECT_EQ(cellText(log, 0, 0), L"editor.exe");
    EXPECT_EQ(cellText(log, 0, 1), L"Notes");
    EXPECT_EQ(cellText(log, 1, 1), L"Привет");
    EXPECT_EQ(cellText(log, 2, 0), L"viewer.exe");
    EXPECT_EQ(cellText(log, 2, 1), L"漢字のタイトル");
    EXPECT_EQ(cellText(log, 1, 5), L"7");
    const HWND totals = form.totals().handle();
    ASSERT_EQ(ListView_GetItemCount(totals), 3);
    EXPECT_EQ(cellText(totals, 1, 1), L"Привет");
    EXPECT_EQ(cellText(totals, 1, 3), L"7");
    // A changed cell and a removed row show too.
    switchTo({{12, 120.0F}});
    EXPECT_EQ(cellText(totals, 0, 3), L"12");
    EXPECT_EQ(ListView_GetItemCount(form.openStretches().handle()), 3);
    m_windows.destroy(13);
    form.tick();
    EXPECT_EQ(ListView_GetItemCount(form.openStretches().handle()), 2);
}

TEST_F(Forms, HideMeShowsTheMessageEveryTimeAndTheBoxStaysClearWhileTicksGoOn) {
    MainWindow& form = makeForm(everyMillisecond());
    m_windows.create(21, "editor.exe", "Notes");
    m_windows.focus(21);
    for (int round = 0; round < 2; ++round) {
        std::uint64_t ticksAtOpen = 0;
        // The message box is looked at as it opens, and answered once some ticks have run underneath it.
        const auto lookAndAnswer = [&] {
            const HWND box = messageBox();
            if (box == nullptr) {
                return false;
            }
            if (ticksAtOpen == 0) {
                ticksAtOpen = form.ticksRun() + 1;
                EXPECT_EQ(textOf(box), L"Dwellmark");
                const std::wstring text = textOf(GetDlgItem(box, 0xFFFF));
                EXPECT_EQ(text, widen(texts::hideMeMessage()));
                EXPECT_NE(text.find(L"support@"), std::wstring::npos);
                int buttons = 0;
                for (HWND button = nullptr; (button = FindWindowExW(box, button, L"Button", nullptr)) != nullptr;) {
                    ++buttons;
                }
                EXPECT_EQ(buttons, 1);
                EXPECT_FALSE(isChecked(form.hideMeBox())) << "the box stays clear";
                EXPECT_EQ(IsWindowEnabled(form.handle()), FALSE) << "the message is modal";
            }
            return form.ticksRun() > ticksAtOpen + 5 && PostMessageW(box, WM_COMMAND, IDOK, 0) != FALSE;
        };
        ASSERT_TRUE(whileModal(lookAndAnswer, [&] {
            SendMessageW(form.hideMeBox(), BM_CLICK, 0, 0);
            ASSERT_TRUE(pumpMessagesUntil([&] { return !form.hideMeAnswerPending(); }));
        }));
        EXPECT_NE(ticksAtOpen, 0U) << "no message in round " << round;
        EXPECT_FALSE(isChecked(form.hideMeBox()));
        EXPECT_NE(IsWindowEnabled(form.handle()), FALSE);
        EXPECT_NE(IsWindowVisible(form.handle()), FALSE);
    }
}

TEST_F(Forms, DisplayChartWithNoTotalsOpensNothing) {
    MainWindow& form = makeForm();
    bool sawWindow = false;
    clickDisplayChart([&] {
        sawWindow = sawWindow || !modalWindows().empty();
        return false;
    });
    EXPECT_FALSE(sawWindow);
    EXPECT_EQ(form.openChart(), nullptr);
    EXPECT_FALSE(isChecked(form.displayChartBox()));
}

TEST_F(Forms, TheChartShowsTheTotalsAtTheRequestWhileTicksGoOnUnderneath) {
    MainWindow& form = makeForm(everyMillisecond());
    m_windows.create(31, "editor.exe", "An editor window of 21");
    m_windows.create(32, "browser.exe", "Привет");
    m_windows.create(33, "late.exe", "Opened while the chart is up");
    switchTo({{31, 100.0F}, {32, 130.0F}, {31, 145.0F}});
    // The chart as it opens.
    const auto firstLook = [&](const ChartWindow& chart) {
        const HWND window = chart.handle();
        EXPECT_EQ(textOf(window), L"Chart");
        EXPECT_EQ(classOf(window), ChartWindow::className);
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 629);
        EXPECT_EQ(client.bottom, 577);
        RECT outer;
        GetWindowRect(window, &outer);
        EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
        EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
        EXPECT_NE(style & WS_SYSMENU, 0U);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0U);
        EXPECT_EQ(IsWindowEnabled(form.handle()), FALSE) << "the chart is modal";
        EXPECT_FALSE(isChecked(form.displayChartBox()));
        const ChartData& data = chart.picture().data();
        EXPECT_EQ(data.category, "R1");
        EXPECT_EQ(data.xAxisTitle, "Process Time");
        EXPECT_EQ(data.yAxisTitle, "Process");
        const std::vector<ChartPicture::Bar>& bars = chart.picture().bars();
        ASSERT_EQ(bars.size(), 2U);
        EXPECT_EQ(bars[0].name, "An editor window of ");
        EXPECT_EQ(bars[0].value, 30.0);
        EXPECT_EQ(bars[1].name, "Привет");
        EXPECT_EQ(bars[1].value, 15.0);
    };
    bool looked = false;
    std::size_t totalsAtOpen = 0;
    ASSERT_TRUE(clickDisplayChart([&] {
        ChartWindow* chart = shownChart();
        if (chart == nullptr) {
            return false;
        }
        if (!looked) {
            looked = true;
            firstLook(*chart);
            totalsAtOpen = m_tracker->totals().rowCount();
            // A new window gets the foreground underneath the chart.
            m_clock.now = 160.0F;
            m_windows.focus(33);
            return false;
        }
        if (m_tracker->openStretches().rowCount() < 3) {
            return false;
        }
        m_clock.now = 170.0F;
        m_windows.focus(32);
        if (m_tracker->totals().rowCount() <= totalsAtOpen) {
            return false;
        }
        // The ticks went on, and the open chart kept what it showed.
        EXPECT_GT(m_tracker->totals().rowCount(), totalsAtOpen);
        EXPECT_EQ(chart->picture().bars().size(), 2U);
        return PostMessageW(chart->handle(), WM_CLOSE, 0, 0) != FALSE;
    }));
    EXPECT_TRUE(looked) << "no chart opened";
    EXPECT_EQ(form.openChart(), nullptr);
    EXPECT_FALSE(isChecked(form.displayChartBox()));
    EXPECT_NE(IsWindowEnabled(form.handle()), FALSE);

    // The next request is a fresh chart with the rows added since.
    std::size_t barsOfSecond = 0;
    clickDisplayChart([&] {
        ChartWindow* chart = shownChart();
        barsOfSecond = chart != nullptr ? chart->picture().bars().size() : 0;
        return chart != nullptr && PostMessageW(chart->handle(), WM_CLOSE, 0, 0) != FALSE;
    });
    EXPECT_EQ(barsOfSecond, m_tracker->totals().rowCount());
    EXPECT_GT(barsOfSecond, 2U);
}

TEST_F(Forms, PointerFileValidMissingAndCorrupt) {
    {
        MainWindow& form = makeForm();
        EXPECT_EQ(form.customPointer(), nullptr);
        // The custom setting then shows the standard arrow.
        SendMessageW(form.displayChartBox(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(form.mousePointer(), MousePointer::Custom);
        m_form.reset();
    }
    {
        std::ofstream(m_folder / "HAND-M.CUR", std::ios::binary) << "not a cursor at all";
        MainWindow& form = makeForm();
        EXPECT_EQ(form.customPointer(), nullptr);
        EXPECT_EQ(textOf(form.handle()), L"Dwellmark");
        m_form.reset();
    }
    {
        std::filesystem::copy_file(DWELLMARK_CURSOR_FILE, m_folder / "HAND-M.CUR",
                                   std::filesystem::copy_options::overwrite_existing);
        std::ifstream file(DWELLMARK_CURSOR_FILE, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 14U);
        MainWindow& form = makeForm();
        ASSERT_NE(form.customPointer(), nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(form.customPointer(), &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, static_cast<DWORD>(bytes[10] | bytes[11] << 8));
        EXPECT_EQ(info.yHotspot, static_cast<DWORD>(bytes[12] | bytes[13] << 8));
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST_F(Forms, MouseMovesSetThePointerByWhereTheyAreReported) {
    MainWindow& form = makeForm();
    const auto move = [](HWND window) { SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)); };
    EXPECT_EQ(form.mousePointer(), MousePointer::Default);
    move(form.displayChartBox());
    EXPECT_EQ(form.mousePointer(), MousePointer::Custom);
    move(form.hideMeBox());
    EXPECT_EQ(form.mousePointer(), MousePointer::Custom);
    move(form.handle());
    EXPECT_EQ(form.mousePointer(), MousePointer::Default);
    move(form.hideMeBox());
    EXPECT_EQ(form.mousePointer(), MousePointer::Default);
    move(form.displayChartBox());
    move(form.usageLog().handle());
    EXPECT_EQ(form.mousePointer(), MousePointer::Default);
    move(form.displayChartBox());
    move(form.totals().handle());
    EXPECT_EQ(form.mousePointer(), MousePointer::Default);
    form.setMousePointer(MousePointer::Busy);
    for (HWND window : {form.displayChartBox(), form.handle(), form.usageLog().handle()}) {
        move(window);
        EXPECT_EQ(form.mousePointer(), MousePointer::Busy);
    }
}

TEST_F(Forms, TheOneMillisecondTickRunsOnTheWindowsThread) {
    MainWindow& form = makeForm(everyMillisecond());
    m_windows.create(41, "editor.exe", "Notes");
    m_windows.focus(41);
    ASSERT_TRUE(pumpMessagesUntil([&] { return m_tracker->openStretches().rowCount() == 1; }));
    ASSERT_TRUE(pumpMessagesUntil([&] { return form.ticksRun() > 50; }));
}

TEST_F(Forms, ADesktopThatReportsChangesTicksOnEachReportAndOnceASecond) {
    ReportingFeed desktop(true);
    MainWindow& form = makeForm(nullptr, &desktop);
    ASSERT_TRUE(desktop.listening());
    EXPECT_EQ(textOf(form.notice()), L"") << "nothing to say: no notice line";
    // A first tick at once, to see the desktop as it is.
    ASSERT_TRUE(pumpMessagesUntil([&] { return form.ticksRun() > 0; }));
    m_windows.create(51, "editor.exe", "Notes");
    m_windows.create(52, "browser.exe", "News");
    m_windows.focus(51);
    // Without the 1 ms timer, a report brings the tick.
    desktop.report();
    ASSERT_TRUE(pumpMessagesUntil([&] { return m_tracker->lastForeground() == 51; }));
    // A burst of reports is one tick, not one per report.
    const std::uint64_t before = form.ticksRun();
    for (int i = 0; i < 50; ++i) {
        desktop.report();
    }
    ASSERT_TRUE(pumpMessagesUntil([&] { return form.ticksRun() > before; }));
    EXPECT_LT(form.ticksRun() - before, 50U);
    // A change without a report is still seen, by the safety tick.
    m_windows.focus(52);
    ASSERT_TRUE(pumpMessagesUntil([&] { return m_tracker->lastForeground() == 52; }));
    m_form.reset();
    EXPECT_FALSE(desktop.listening());
}

TEST_F(Forms, ClosingTheMainWindowEndsTheLoop) {
    MainWindow& form = makeForm(everyMillisecond());
    PostMessageW(form.handle(), WM_CLOSE, 0, 0);
    // The loop of the program ends at the quit message the close posts.
    MSG message;
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        DispatchMessageW(&message);
    }
    ASSERT_EQ(got, 0);
    EXPECT_EQ(message.wParam, 0U);
    EXPECT_EQ(IsWindowVisible(form.handle()), FALSE);
    const std::uint64_t ticks = form.ticksRun();
    // No tick runs after the close, however long the loop goes on.
    testing::pumpMessagesFor(40ms);
    EXPECT_EQ(form.ticksRun(), ticks);
}

TEST_F(Forms, ADesktopThatCannotReportItsChangesIsSaidInTheNoticeLineAndTheWindowGrowsByIt) {
    // The fake desktop reports nothing: the window's own ticks fall back to the 1 ms timer.
    const MainWindow& form = makeForm(nullptr);
    EXPECT_EQ(textOf(form.notice()),
              L"the desktop does not report its changes; looking at it every millisecond instead");
    EXPECT_NE(IsWindowVisible(form.notice()), FALSE);
    EXPECT_EQ(rectInParent(form.notice()).top, 560);
    EXPECT_EQ(rectInParent(form.hideMeBox()).top, 528) << "the controls keep their places";
    RECT client;
    GetClientRect(form.handle(), &client);
    EXPECT_EQ(client.bottom, 610);
}

TEST_F(Forms, TheFocusComesBackToItsControlWhenTheWindowIsActiveAgain) {
    MainWindow& form = makeForm();
    const HWND other = CreateWindowExW(0, L"STATIC", L"Another window", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99, nullptr,
                                       nullptr, nullptr, nullptr);
    SetFocus(form.totals().handle());
    SetActiveWindow(other);
    EXPECT_NE(GetFocus(), form.totals().handle());
    SetActiveWindow(form.handle());
    EXPECT_EQ(GetFocus(), form.totals().handle());
    DestroyWindow(other);
}

TEST_F(Forms, ListsHavePlainHeadersOneSelectedRowTypeAheadAndTipsForCutTexts) {
    MainWindow& form = makeForm();
    const std::string longTitle(300, 'w');
    m_windows.create(71, "editor.exe", "Notes");
    m_windows.create(72, "browser.exe", longTitle);
    m_windows.create(73, "Bash.exe", "Shell");
    switchTo({{71, 101.0F}, {72, 102.0F}, {73, 103.0F}, {71, 104.0F}});
    const HWND log = form.usageLog().handle();
    EXPECT_EQ(GetWindowLongPtrW(ListView_GetHeader(log), GWL_STYLE) & HDS_BUTTONS, 0) << "a pressable header";
    ListView_SetItemState(log, 0, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(log, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(ListView_GetSelectedCount(log), 1U);
    // A typed letter: the next row whose application starts with it, in any case.
    SendMessageW(log, WM_CHAR, L'b', 1);
    EXPECT_EQ(ListView_GetNextItem(log, -1, LVNI_SELECTED), 2);

    // Over a cut title the tip is the whole title; over one that fits, nothing.
    EXPECT_NE(ListView_GetExtendedListViewStyle(log) & LVS_EX_INFOTIP, 0U);
    for (const auto& [row, expected] : {std::pair{1, widen(longTitle)}, std::pair{0, std::wstring()}}) {
        RECT cell{};
        ListView_GetSubItemRect(log, row, 1, LVIR_LABEL, &cell);
        POINT at{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ClientToScreen(log, &at);
        SetCursorPos(at.x, at.y);
        std::wstring text(1024, L'?');
        NMLVGETINFOTIPW tip{{log, MainWindow::usageLogId, LVN_GETINFOTIPW}, 0, text.data(), 1024, row, 0, 0};
        SendMessageW(form.handle(), WM_NOTIFY, MainWindow::usageLogId, reinterpret_cast<LPARAM>(&tip));
        EXPECT_EQ(std::wstring(text.c_str()), expected);
    }
}

TEST_F(Forms, TheChartAndHideMesAnswerOpenOnlyAfterAClickFromAnotherThreadHasReturned) {
    MainWindow& form = makeForm();
    m_windows.create(61, "editor.exe", "Notes");
    m_windows.create(62, "browser.exe", "News");
    switchTo({{61, 100.0F}, {62, 110.0F}});
    EXPECT_TRUE(answersAClickFromAnotherThreadAtOnce(form.displayChartBox(), [&] {
        const ChartWindow* chart = shownChart();
        return chart != nullptr ? chart->handle() : nullptr;
    }));
    EXPECT_TRUE(answersAClickFromAnotherThreadAtOnce(form.hideMeBox(), messageBox));
}

TEST_F(Forms, LegendNamesWiderThanTheLegendEndInAnEllipsis) {
    ChartData data;
    // Latin and Cyrillic capitals, both wider than the legend as 20 characters.
    for (const char* title : {"Notes", "WWWWWWWWWWWWWWWWWWWWWWWW",
                              "\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8"
                              "\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8\xd0\xa8"}) {
        data.series.push_back({ChartData::seriesName(title), 5.0, title});
    }
    ChartWindow chart(nullptr, data);
    EXPECT_EQ(chart.legendEntry(0), L"Notes");
    for (std::size_t bar : {1U, 2U}) {
        const std::wstring name = widen(data.series[bar].name);
        const std::wstring entry = chart.legendEntry(bar);
        ASSERT_GE(entry.size(), 2U) << "some of the name is kept";
        EXPECT_EQ(entry.back(), L'\u2026');
        EXPECT_LT(entry.size(), name.size()) << "cut where the box ends";
        EXPECT_EQ(name.substr(0, entry.size() - 1), entry.substr(0, entry.size() - 1));
    }
}

TEST_F(Forms, EachOfThousandsOfBarsTipsItsWholeTitleAndSecondsWhenPointedAt) {
    ChartData data;
    for (std::size_t i = 0; i < 3000; ++i) {
        const std::string title = "A window with a long title, number " + std::to_string(i);
        data.series.push_back({ChartData::seriesName(title), static_cast<double>(i % 50), title});
    }
    ChartWindow chart(nullptr, data);
    ShowWindow(chart.handle(), SW_SHOWNOACTIVATE);
    const RECT area = chart.chartArea();
    const ChartPicture::Box& plot = chart.picture().plot();
    const auto tipAt = [&](int x, int y) {
        SendMessageW(chart.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x + area.left, y + area.top));
        std::wstring text(8192, L'\0');
        TTTOOLINFOW tool{sizeof tool, 0, chart.handle(), 1, {}, nullptr, text.data(), 0, nullptr};
        SendMessageW(chart.tip(), TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
        return IsWindowVisible(chart.tip()) != FALSE ? std::wstring(text.c_str()) : std::wstring();
    };
    EXPECT_EQ(tipAt(plot.left + 1, plot.top + 1), L"") << "no bar there";
    const std::wstring firstTwo =
        L"A window with a long title, number 0\r\n0 s\r\nA window with a long title, number 1\r\n1 s";
    EXPECT_EQ(tipAt(chart.picture().bars()[0].box.left, plot.bottom - 1).substr(0, firstTwo.size()), firstTwo);
    // Across the plot, above the bars as much as on them, every title is named
    // in exactly one column's tip, with its seconds below.
    std::vector<int> named(data.series.size(), 0);
    const std::wregex entry(L"number (\\d+)\r\n(\\d+) s");
    for (int x = plot.left; x < plot.right; ++x) {
        const std::wstring tip = tipAt(x, plot.top + 1);
        for (auto match = std::wsregex_iterator(tip.begin(), tip.end(), entry); match != std::wsregex_iterator();
             ++match) {
            const std::size_t number = std::stoul((*match)[1].str());
            EXPECT_EQ(std::stoul((*match)[2].str()), number % 50);
            ++named.at(number);
        }
    }
    EXPECT_EQ(std::count(named.begin(), named.end(), 1), 3000);
}

/// Opens a context menu through open and chooses the item at the position
/// from the keyboard, as a user would: with the arrow keys and Enter, or by
/// the access key when one is given (not 0); gives the items and which were greyed.
std::vector<std::pair<std::wstring, bool>> chooseFromMenu(int item, wchar_t accessKey,
                                                          const std::function<void()>& open) {
    std::vector<std::pair<std::wstring, bool>> items;
    const auto choose = [&] {
        HWND popup = nullptr;
        while ((popup = FindWindowExW(nullptr, popup, L"#32768", nullptr)) != nullptr && !IsWindowVisible(popup)) {
        }
        const auto menu = reinterpret_cast<HMENU>(popup != nullptr ? SendMessageW(popup, MN_GETHMENU, 0, 0) : 0);
        if (menu == nullptr) {
            return false;
        }
        for (int i = static_cast<int>(items.size()); i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            items.emplace_back(text, (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0);
        }
        if (accessKey != 0) {
            PostMessageW(popup, WM_CHAR, accessKey, 0);
            return true;
        }
        // Down until the item is lit, then Enter.
        const bool lit = (GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION) & MF_HILITE) != 0;
        PostMessageW(popup, WM_KEYDOWN, lit ? VK_RETURN : VK_DOWN, 0);
        return lit;
    };
    EXPECT_TRUE(whileModal(choose, open));
    return items;
}

TEST_F(Forms, CtrlCAndTheContextMenuCopyRowsOfTheShownColumnsToTheClipboard) {
    MainWindow& form = makeForm();
    m_windows.create(81, "editor.exe", "Notes");
    m_windows.create(82, "browser.exe", "Привет\tworld");
    switchTo({{81, 100.0F}, {82, 103.0F}, {81, 110.0F}});
    const HWND log = form.usageLog().handle();
    ListView_SetItemState(log, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(log, WM_KEYDOWN, 'C', 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(clipboardText(), L"browser.exe\tПривет world\t00:00:03 - 00:00:10\t7\r\n");
    // A right click selects the row under it, and "Copy" copies that one.
    RECT first{};
    ListView_GetItemRect(log, 0, &first, LVIR_BOUNDS);
    const LPARAM at = MAKELPARAM(first.left + 20, (first.top + first.bottom) / 2);
    const auto items1 = chooseFromMenu(0, 0, [&] {
        SendMessageW(log, WM_RBUTTONDOWN, MK_RBUTTON, at);
        SendMessageW(log, WM_RBUTTONUP, 0, at);
    });
    EXPECT_EQ(items1, (std::vector<std::pair<std::wstring, bool>>{{L"&Copy\tCtrl+C", false}, {L"Copy &All", false}}));
    EXPECT_EQ(clipboardText(), L"editor.exe\tNotes\t00:00:00 - 00:00:03\t3\r\n");
    // The menu key on the totals, none selected: "Copy" greyed, "Copy All",
    // chosen by its access key, copies every row under the shown columns' headers.
    const HWND totals = form.totals().handle();
    const auto items2 = chooseFromMenu(1, L'a', [&] {
        SendMessageW(totals, WM_KEYDOWN, VK_APPS, 1);
        SendMessageW(totals, WM_KEYUP, VK_APPS, 0xC0000001);
    });
    EXPECT_TRUE(items2.at(0).second);
    EXPECT_EQ(clipboardText(), L"Application\tWindow Title\tTotal Time\r\neditor.exe\tNotes\t00:00:03\r\n"
                               L"browser.exe\tПривет world\t00:00:07\r\n");
}

TEST_F(Forms, ListsFollowNewRowsAtTheirEndButNotOnceScrolledUp) {
    MainWindow& form = makeForm();
    float now = 100.0F;
    WindowHandle next = 200;
    // Each new window adds a row to both lists.
    const auto addRows = [&](int count) {
        for (int i = 0; i < count; ++i) {
            m_windows.create(next, "app.exe", "Window " + std::to_string(next));
            switchTo({{next++, now += 1.0F}});
        }
    };
    const std::array<HWND, 2> lists{form.usageLog().handle(), form.totals().handle()};
    addRows(40);
    std::array<int, 2> tops{};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        EXPECT_EQ(ListView_GetTopIndex(lists[i]) + ListView_GetCountPerPage(lists[i]), ListView_GetItemCount(lists[i]));
        SendMessageW(lists[i], WM_VSCROLL, SB_PAGEUP, 0); // to read
        tops[i] = ListView_GetTopIndex(lists[i]);
    }
    addRows(3);
    for (std::size_t i = 0; i < lists.size(); ++i) {
        EXPECT_EQ(ListView_GetTopIndex(lists[i]), tops[i]) << "the view stays";
        ListView_EnsureVisible(lists[i], ListView_GetItemCount(lists[i]) - 1, FALSE); // back at the end
    }
    addRows(2);
    for (const HWND list : lists) {
        EXPECT_EQ(ListView_GetTopIndex(list) + ListView_GetCountPerPage(list), ListView_GetItemCount(list));
    }
}

} // namespace
} // namespace dwellmark::ui::win32
