// A comctl32 ListView in report view that shows an ActivityTable without copying it.
#pragma once

#include "tracking/activitytable.h"
#include "tracking/tableobserver.h"
#include "ui/layout.h"
#include "win32api/windowsheaders.h"

#include <commctrl.h>
#include <string>
#include <vector>

namespace dwellmark::ui::win32 {

/// One of the main window's lists. The control is an owner-data (virtual)
/// list: it asks for the text of the rows it draws, so a new row at the end of
/// a log of 100,000 rows costs the same as one at the end of a log of 10.
/// Columns of width 0 hold data but stay hidden and cannot be dragged open.
/// Ctrl+C and the context menu ("Copy", "Copy All") put rows on the clipboard
/// as tab-separated text of the shown columns. While the list shows its last
/// row, a row added at the end scrolls into view; scrolled up, it stays put.
class ListView final : public TableObserver {
public:
    /// Makes the control as a child of parent; the table must outlive it.
    ListView(HWND parent, int id, const layout::ControlLayout& place, ActivityTable& table);
    ~ListView() override;

    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    HWND handle() const { return m_handle; }
    const layout::ControlLayout& place() const { return m_place; }

    /// Answers the control's notifications (forwarded by the parent's
    /// WM_NOTIFY); true when the result was set.
    bool notify(const NMHDR& header, LRESULT& result);

    /// Whether a message to the control would open a hidden column; the
    /// control's subclass drops such messages.
    bool opensHiddenColumn(UINT message, WPARAM wParam, LPARAM lParam) const;

    /// Places the control and sizes its columns for the window's dots per inch.
    void applyDpi(int dpi, HFONT font);

    /// The items of the context menu.
    enum class Command : UINT { copy = 1, copyAll };
    /// Runs a command of the context menu: "Copy" puts the selected row on
    /// the clipboard (nothing when none is selected), "Copy All" every row
    /// under the column headers.
    void run(Command command);
    /// Shows the context menu at the point (screen pixels; where the
    /// keyboard asks for it, (-1, -1), below the selected row) and runs the
    /// item chosen.
    void showContextMenu(POINT at);

    // TableObserver
    void rowAboutToBeAdded(std::size_t row) override;
    void rowAdded(std::size_t row) override;
    void cellChanged(std::size_t row, std::size_t column) override;
    void rowAboutToBeRemoved(std::size_t row) override;
    void rowRemoved(std::size_t row) override;

private:
    static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    static LRESULT CALLBACK headerProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR list);
    bool isHiddenColumn(int column) const;
    /// The row that typed letters lead to (LVN_ODFINDITEMW), or -1.
    int findRow(const NMLVFINDITEMW& find) const;
    /// The text of the cell at the point (client pixels) when the cell cuts it; else empty.
    std::wstring cutTextAt(POINT at) const;
    /// The selected rows, 1-based as in the table.
    std::vector<std::size_t> selectedRows() const;
    /// Whether the last row is in view (or there is none).
    bool showsLastRow() const;

    ActivityTable& m_table;
    layout::ControlLayout m_place;
    HWND m_handle = nullptr;
    // The text handed to the control lives until the next request.
    std::wstring m_text;
    // The row being added is to be scrolled into view once it is there.
    bool m_followNewRow = false;
};

} // namespace dwellmark::ui::win32
