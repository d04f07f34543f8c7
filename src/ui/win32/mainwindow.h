// The main window "Dwellmark" of the Win32 front end.
#pragma once

#include "tracking/activitytracker.h"
#include "ui/pointerrules.h"
#include "ui/win32/listview.h"
#include "ui/win32/tickposter.h"
#include "win32api/windowsheaders.h"

#include <cstdint>
#include <memory>
#include <string>

namespace dwellmark {
class ChangeFeed;
}

namespace dwellmark::ui::win32 {

class ChartWindow;

/// The main window "Dwellmark": the usage log above, the totals below, and the
/// check boxes "Display Chart" and "Hide Me". Its tick source drives the
/// tracker about every millisecond from start to close, also while the chart
/// window or the message box is open.
class MainWindow final {
public:
    /// Control ids of the window's children.
    enum ControlId : int { usageLogId = 101, totalsId, openStretchesId, displayChartBoxId, hideMeBoxId, noticeId };
    /// The message a tick source posts for each tick.
    static constexpr UINT tickMessage = WM_APP + 1;
    /// The message "Display Chart" posts to open the chart once its click
    /// has returned.
    static constexpr UINT openChartMessage = WM_APP + 2;
    /// The message "Hide Me" posts to show its answer once its click has returned.
    static constexpr UINT hideMeAnswerMessage = WM_APP + 3;
    static constexpr const wchar_t* className = L"DwellmarkMain";

    /// Makes the window (hidden) and runs onLoad. The tracker and changes (the
    /// desktop's change reports) must outlive it. The pointer file is looked for in programFolder.
    /// Without a tick source of its own the window picks one for the desktop.
    MainWindow(ActivityTracker& tracker, ChangeFeed& changes, std::wstring programFolder,
               std::unique_ptr<TickPoster> ticks = nullptr);
    ~MainWindow();

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    /// Shows the window as showCommand says (the program's start-up showing:
    /// normal, minimised, ...) with the focus on the usage log.
    void show(int showCommand = SW_SHOW);

    HWND handle() const { return m_handle; }
    ActivityTracker& tracker() const { return m_tracker; }
    ListView& usageLog() const { return *m_usageLog; }
    ListView& totals() const { return *m_totals; }
    ListView& openStretches() const { return *m_openStretches; }
    HWND hideMeBox() const { return m_hideMeBox; }
    HWND displayChartBox() const { return m_displayChartBox; }
    /// The notice line below the check boxes; hidden, and the window without
    /// its strip, when the ticks have nothing to say.
    HWND notice() const { return m_notice; }
    int dpi() const { return m_dpi; }

    MousePointer mousePointer() const { return m_mousePointer; }
    void setMousePointer(MousePointer pointer);
    /// The pointer loaded from the pointer file at start; nullptr without one.
    HCURSOR customPointer() const { return m_customPointer; }
    /// The chart window while it is open, else nullptr.
    ChartWindow* openChart() const { return m_openChart; }
    /// Whether "Display Chart" was clicked and its chart has not opened yet.
    bool chartRequested() const { return m_chartRequested; }
    /// Whether "Hide Me" was clicked and its message has not been closed yet.
    bool hideMeAnswerPending() const { return m_hideMeAnswerPending; }
    /// How many ticks have run since the window was made.
    std::uint64_t ticksRun() const { return m_ticksRun; }

    // What the timer and the check boxes run.
    void tick();
    void hideMeClicked();
    void displayChartClicked();
    /// Opens the chart of the totals as they are now and returns once it is
    /// closed; nothing when there are none.
    void showChart();
    /// Shows the answer to "Hide Me" and returns once it is closed.
    void showHideMeAnswer();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR form);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND makeCheckBox(layout::Control control, const char* caption, int id);
    void makeNotice();
    void applyDpi(int dpi);
    void setCheck(HWND box, bool checked);
    HCURSOR cursorFor(MousePointer pointer) const;
    void mouseMovedOver(MouseArea area);

    void onLoad();
    void onUnload();

    ActivityTracker& m_tracker;
    ChangeFeed& m_changes;
    std::wstring m_programFolder;
    HWND m_handle = nullptr;
    int m_dpi = 96;
    HFONT m_listFont = nullptr;
    HFONT m_checkBoxFont = nullptr;
    HBRUSH m_white = nullptr;
    std::unique_ptr<ListView> m_usageLog;
    std::unique_ptr<ListView> m_totals;
    std::unique_ptr<ListView> m_openStretches;
    HWND m_displayChartBox = nullptr;
    HWND m_hideMeBox = nullptr;
    HWND m_notice = nullptr;
    HFONT m_noticeFont = nullptr;
    // The control that last had the focus: it gets it back when the window is
    // active again, as in a dialog.
    HWND m_lastFocus = nullptr;
    MousePointer m_mousePointer = MousePointer::Default;
    HCURSOR m_customPointer = nullptr;
    std::unique_ptr<TickPoster> m_ticks;
    ChartWindow* m_openChart = nullptr;
    bool m_chartRequested = false;
    bool m_hideMeAnswerPending = false;
    std::uint64_t m_ticksRun = 0;
};

} // namespace dwellmark::ui::win32
