// The main window "Dwellmark" of the Win32 front end.
#pragma once

#include "platform/win32/windowsheaders.h"
#include "tracking/activitytracker.h"
#include "ui/pointerrules.h"
#include "ui/win32/listview.h"
#include "ui/win32/ticksource.h"

#include <cstdint>
#include <memory>
#include <string>

namespace dwellmark {
class WindowSystem;
}

namespace dwellmark::ui::win32 {

class Form2;

/// The main window "Dwellmark": the usage log above, the totals below, and the
/// check boxes "Display Chart" and "Hide Me". Its tick source drives the
/// tracker about every millisecond from start to close, also while the chart
/// window or the message box is open.
class Form1 final {
public:
    /// Control ids of the window's children.
    enum ControlId : int { ListView1Id = 101, ListView2Id, lvwHiddenId, Check2Id, Check1Id };
    /// The message a tick source posts for each tick.
    static constexpr UINT tickMessage = WM_APP + 1;
    static constexpr const wchar_t* className = L"DwellmarkMain";

    /// Makes the window (hidden) and runs Form_Load. The tracker and the window
    /// system must outlive it. The pointer file is looked for in programFolder.
    /// Without a tick source of its own the window picks one for the desktop.
    Form1(ActivityTracker& tracker, WindowSystem& windows, std::wstring programFolder,
          std::unique_ptr<TickSource> ticks = nullptr);
    ~Form1();

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    /// Shows the window with the focus on the usage log.
    void show();

    HWND handle() const { return m_handle; }
    ActivityTracker& tracker() const { return m_tracker; }
    ListView& ListView1() const { return *m_listView1; }
    ListView& ListView2() const { return *m_listView2; }
    ListView& lvwHidden() const { return *m_lvwHidden; }
    HWND Check1() const { return m_check1; }
    HWND Check2() const { return m_check2; }
    int dpi() const { return m_dpi; }

    MousePointer mousePointer() const { return m_mousePointer; }
    void setMousePointer(MousePointer pointer);
    /// The pointer loaded from the pointer file at start; nullptr without one.
    HCURSOR customPointer() const { return m_customPointer; }
    /// The chart window while it is open, else nullptr.
    Form2* openChart() const { return m_openChart; }
    /// How many ticks have run since the window was made.
    std::uint64_t ticksRun() const { return m_ticksRun; }

    // Event procedures.
    void tmrMain_Timer();
    void Check1_Click();
    void Check2_Click();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR form);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND makeCheckBox(layout::Control control, const char* caption, int id);
    void applyDpi(int dpi);
    void setCheck(HWND box, bool checked);
    HCURSOR cursorFor(MousePointer pointer) const;
    void mouseMovedOver(MouseArea area);

    void Form_Load();
    void Form_Unload();

    ActivityTracker& m_tracker;
    WindowSystem& m_windows;
    std::wstring m_programFolder;
    HWND m_handle = nullptr;
    int m_dpi = 96;
    HFONT m_listFont = nullptr;
    HFONT m_checkBoxFont = nullptr;
    HBRUSH m_white = nullptr;
    std::unique_ptr<ListView> m_listView1;
    std::unique_ptr<ListView> m_listView2;
    std::unique_ptr<ListView> m_lvwHidden;
    HWND m_check2 = nullptr;
    HWND m_check1 = nullptr;
    MousePointer m_mousePointer = MousePointer::Default;
    HCURSOR m_customPointer = nullptr;
    std::unique_ptr<TickSource> m_ticks;
    Form2* m_openChart = nullptr;
    std::uint64_t m_ticksRun = 0;
};

} // namespace dwellmark::ui::win32
