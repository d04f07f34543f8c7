// The chart window "Chart" of the Win32 front end.
#pragma once

#include "ui/chartdata.h"
#include "ui/win32/chartpicture.h"
#include "win32api/windowsheaders.h"

#include <cstddef>
#include <optional>
#include <string>

namespace dwellmark::ui::win32 {

/// The chart window "Chart": the totals as a bar chart drawn with GDI, taken
/// once when the window is made and not updated afterwards. Each request
/// makes a window of its own, so nothing of an earlier chart carries over.
/// Pointing at a bar shows its whole title and seconds in a tip.
class ChartWindow final {
public:
    /// Makes the window, hidden and centred on the screen, with the chart of data.
    ChartWindow(HWND owner, ChartData data);
    ~ChartWindow();

    ChartWindow(const ChartWindow&) = delete;
    ChartWindow& operator=(const ChartWindow&) = delete;

    /// Shows the window modally: the owner takes no input, while its posted
    /// messages (its ticks) go on being delivered. Returns once the user has
    /// closed the window.
    void exec();

    HWND handle() const { return m_handle; }
    /// The tip that names the bars under the pointer; hidden elsewhere.
    HWND tip() const { return m_tip; }
    /// The chart as drawn in the chart area now.
    const ChartPicture& picture() const { return m_picture; }
    /// The chart area in client pixels (it runs past the client area).
    RECT chartArea() const;
    /// The text of the bar's legend entry (0-based) as it is drawn: its name,
    /// or as much of it as fits with "\u2026" after.
    std::wstring legendEntry(std::size_t bar) const;

    static constexpr const wchar_t* className = L"DwellmarkChart";

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc);
    void applyDpi(int dpi);
    void makeTip();
    /// Shows the tip of the bars at the point (client pixels), or hides it.
    void pointerAt(POINT at);
    void hideTip();

    HWND m_owner;
    HWND m_handle = nullptr;
    ChartData m_data;
    int m_dpi = 96;
    ChartPicture m_picture;
    HFONT m_font = nullptr;
    HFONT m_verticalFont = nullptr;
    bool m_closed = false;
    HWND m_tip = nullptr;
    // The first bar the tip names now, or none while it is hidden.
    std::optional<std::size_t> m_tipBar;
    bool m_trackingLeave = false;
};

} // namespace dwellmark::ui::win32
