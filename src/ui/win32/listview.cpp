// The main window's lists over comctl32's owner-data ListView.
#include "ui/win32/listview.h"

#include "ui/tablecopy.h"
#include "ui/texts.h"
#include "ui/win32/widetext.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <windowsx.h>

namespace dwellmark::ui::win32 {

namespace {

int scaled(int pixels, int dpi) {
    return MulDiv(pixels, dpi, 96);
}

// Another program may hold the clipboard for a moment; a few tries ride that out.
void putOnClipboard(HWND owner, const std::wstring& text) {
    bool open = false;
    for (int attempt = 0; attempt < 5 && !open; ++attempt) {
        open = OpenClipboard(owner) != FALSE;
        if (!open) {
            Sleep(10);
        }
    }
    if (!open) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory != nullptr) {
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        // The clipboard owns the memory once it has taken it.
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

bool controlKeyDown() {
    return GetKeyState(VK_CONTROL) < 0;
}

} // namespace

ListView::ListView(HWND parent, int id, const layout::ControlLayout& place, ActivityTable& table)
    : m_table(table), m_place(place) {
    // Plain headers (the rows keep the tracker's order) and one row selected at a time.
    DWORD style = WS_CHILD | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS |
                  LVS_NOSORTHEADER | LVS_SINGLESEL;
    if (place.shown) {
        style |= WS_VISIBLE;
    }
    m_handle = CreateWindowExW(0, WC_LISTVIEWW, widen(place.name).c_str(), style, place.rect.left, place.rect.top,
                               place.rect.width, place.rect.height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (m_handle == nullptr) {
        throw std::runtime_error("the list " + std::string(place.name) + " could not be made");
    }
    // A cut text shows in full in a tip (LVN_GETINFOTIPW).
    ListView_SetExtendedListViewStyle(m_handle, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP);
    const auto& columns = m_table.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::wstring header = widen(columns[i].header);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT | (columns[i].widthPoints == 0 ? LVCFMT_FIXED_WIDTH : 0);
        column.cx = layout::pointsToPixels(columns[i].widthPoints);
        column.pszText = header.data();
        column.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(m_handle, static_cast<int>(i), &column);
    }
    ListView_SetItemCountEx(m_handle, static_cast<int>(m_table.rowCount()), LVSICF_NOSCROLL);
    SetWindowSubclass(ListView_GetHeader(m_handle), headerProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(m_handle, listProc, 2, reinterpret_cast<DWORD_PTR>(this));
    m_table.addObserver(this);
}

ListView::~ListView() {
    m_table.removeObserver(this);
    RemoveWindowSubclass(m_handle, listProc, 2);
    RemoveWindowSubclass(ListView_GetHeader(m_handle), headerProc, 1);
}

LRESULT CALLBACK ListView::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<ListView*>(data);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == 'C' && controlKeyDown() && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0) {
            self->run(Command::copy);
            return 0;
        }
        // Handled on its release alone: the system would open the menu a
        // second time.
        if (wParam == VK_APPS) {
            return 0;
        }
        break;
    case WM_KEYUP:
        // The menu key: on its release, as Windows itself opens the menu.
        if (wParam == VK_APPS) {
            self->showContextMenu(POINT{-1, -1});
            return 0;
        }
        break;
    case WM_CHAR:
        // The character Ctrl+C types is no letter to look for.
        if (wParam == 0x03) {
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        // A right click (the control sends it on the button's release),
        // Shift+F10 and the menu key alike.
        self->showContextMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    default:
        break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

std::vector<std::size_t> ListView::selectedRows() const {
    std::vector<std::size_t> rows;
    for (int item = ListView_GetNextItem(m_handle, -1, LVNI_SELECTED); item >= 0;
         item = ListView_GetNextItem(m_handle, item, LVNI_SELECTED)) {
        rows.push_back(static_cast<std::size_t>(item) + 1);
    }
    return rows;
}

void ListView::run(Command command) {
    std::string text;
    if (command == Command::copyAll) {
        text = copiedTable(m_table, "\r\n");
    } else {
        const std::vector<std::size_t> rows = selectedRows();
        if (rows.empty()) {
            return;
        }
        text = copiedRows(m_table, rows, false, "\r\n");
    }
    putOnClipboard(m_handle, widen(text));
}

void ListView::showContextMenu(POINT at) {
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: below the selected row when it is in view, else
        // at the list's top-left corner, as Explorer does.
        RECT row{};
        const int selected = ListView_GetNextItem(m_handle, -1, LVNI_SELECTED);
        RECT client{};
        GetClientRect(m_handle, &client);
        if (selected >= 0 && ListView_GetItemRect(m_handle, selected, &row, LVIR_LABEL) != FALSE && row.bottom > 0 &&
            row.bottom <= client.bottom) {
            at = POINT{row.left, row.bottom};
        } else {
            at = POINT{0, 0};
        }
        ClientToScreen(m_handle, &at);
    }
    HMENU menu = CreatePopupMenu();
    const UINT copyState = selectedRows().empty() ? MF_GRAYED : MF_ENABLED;
    // After a tab, the menu shows the shortcut at its right edge.
    const std::wstring copy = widen(texts::copyCaption) + L"\t" + widen(texts::copyShortcut);
    AppendMenuW(menu, MF_STRING | copyState, static_cast<UINT_PTR>(Command::copy), copy.c_str());
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(Command::copyAll), widen(texts::copyAllCaption).c_str());
    const auto chosen = static_cast<UINT>(
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, m_handle, nullptr));
    DestroyMenu(menu);
    if (chosen == static_cast<UINT>(Command::copy) || chosen == static_cast<UINT>(Command::copyAll)) {
        run(static_cast<Command>(chosen));
    }
}

LRESULT CALLBACK ListView::headerProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
    const auto* list = reinterpret_cast<const ListView*>(data);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_SETCURSOR: {
        // A press on the divider of a hidden column would drag it open; the
        // pointer there would offer to.
        HDHITTESTINFO hit{};
        if (message == WM_SETCURSOR) {
            GetCursorPos(&hit.pt);
            ScreenToClient(header, &hit.pt);
        } else {
            hit.pt = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        }
        SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if ((hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0 && list->isHiddenColumn(hit.iItem)) {
            if (message == WM_SETCURSOR) {
                SetCursor(LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            return 0;
        }
        break;
    }
    case HDM_SETITEMW:
    case HDM_SETITEMA: {
        const auto* item = reinterpret_cast<const HDITEMW*>(lParam);
        if (item != nullptr && (item->mask & HDI_WIDTH) != 0 && item->cxy != 0 &&
            list->isHiddenColumn(static_cast<int>(wParam))) {
            return FALSE;
        }
        break;
    }
    default:
        break;
    }
    return DefSubclassProc(header, message, wParam, lParam);
}

void ListView::applyDpi(int dpi, HFONT font) {
    SetWindowPos(m_handle, nullptr, scaled(m_place.rect.left, dpi), scaled(m_place.rect.top, dpi),
                 scaled(m_place.rect.width, dpi), scaled(m_place.rect.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const auto& columns = m_table.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ListView_SetColumnWidth(m_handle, static_cast<int>(i),
                                scaled(layout::pointsToPixels(columns[i].widthPoints), dpi));
    }
}

bool ListView::isHiddenColumn(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < m_table.columnCount() &&
           m_table.columns()[static_cast<std::size_t>(column)].widthPoints == 0;
}

bool ListView::opensHiddenColumn(UINT message, WPARAM wParam, LPARAM lParam) const {
    const int column = static_cast<int>(wParam);
    if (message == LVM_SETCOLUMNWIDTH) {
        return isHiddenColumn(column) && static_cast<int>(lParam) != 0;
    }
    if (message == LVM_SETCOLUMNW || message == LVM_SETCOLUMNA) {
        const auto* info = reinterpret_cast<const LVCOLUMNW*>(lParam);
        return isHiddenColumn(column) && info != nullptr && (info->mask & LVCF_WIDTH) != 0 && info->cx != 0;
    }
    return false;
}

bool ListView::notify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom == m_handle && header.code == LVN_GETDISPINFOW) {
        auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
        LVITEMW& item = const_cast<LVITEMW&>(info.item);
        const auto row = static_cast<std::size_t>(item.iItem) + 1;
        const auto column = static_cast<std::size_t>(item.iSubItem);
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
            m_text = row <= m_table.rowCount() && column < m_table.columnCount() ? widen(m_table.text(row, column))
                                                                                 : std::wstring();
            const std::size_t length = std::min(m_text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            m_text.copy(item.pszText, length);
            item.pszText[length] = L'\0';
        }
        result = 0;
        return true;
    }
    if (header.hwndFrom == m_handle && header.code == LVN_ODFINDITEMW) {
        result = findRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
        return true;
    }
    if (header.hwndFrom == m_handle && header.code == LVN_GETINFOTIPW) {
        auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(m_handle, &at);
        const std::wstring text = cutTextAt(at);
        if (tip.pszText != nullptr && tip.cchTextMax > 0) {
            const std::size_t length = std::min(text.size(), static_cast<std::size_t>(tip.cchTextMax - 1));
            text.copy(tip.pszText, length);
            tip.pszText[length] = L'\0';
        }
        result = 0;
        return true;
    }
    // The header belongs to the list; a hidden column refuses every width but 0.
    if (header.hwndFrom == ListView_GetHeader(m_handle)) {
        switch (header.code) {
        case HDN_BEGINTRACKW:
        case HDN_BEGINTRACKA:
        case HDN_DIVIDERDBLCLICKW:
        case HDN_DIVIDERDBLCLICKA: {
            const auto& change = reinterpret_cast<const NMHEADERW&>(header);
            result = isHiddenColumn(change.iItem) ? TRUE : FALSE;
            return isHiddenColumn(change.iItem);
        }
        case HDN_ITEMCHANGINGW:
        case HDN_ITEMCHANGINGA: {
            const auto& change = reinterpret_cast<const NMHEADERW&>(header);
            if (isHiddenColumn(change.iItem) && change.pitem != nullptr && (change.pitem->mask & HDI_WIDTH) != 0 &&
                change.pitem->cxy != 0) {
                result = TRUE;
                return true;
            }
            return false;
        }
        default:
            return false;
        }
    }
    return false;
}

int ListView::findRow(const NMLVFINDITEMW& find) const {
    // Typing: the next row, from where the control says, whose first column
    // starts with the letters typed, in any case; round to the top if need be.
    if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) {
        return -1;
    }
    const std::wstring wanted = find.lvfi.psz;
    const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
    const auto rows = static_cast<int>(m_table.rowCount());
    const int start = find.iStart >= 0 && find.iStart < rows ? find.iStart : 0;
    const bool wrap = (find.lvfi.flags & LVFI_WRAP) != 0;
    for (int step = 0; step < rows; ++step) {
        const int row = (start + step) % rows;
        if (row < start && !wrap) {
            break;
        }
        const std::wstring text = widen(m_table.text(static_cast<std::size_t>(row) + 1, 0));
        if (text.size() < wanted.size() || (!partial && text.size() != wanted.size())) {
            continue;
        }
        if (CompareStringOrdinal(text.c_str(), static_cast<int>(wanted.size()), wanted.c_str(),
                                 static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL) {
            return row;
        }
    }
    return -1;
}

std::wstring ListView::cutTextAt(POINT at) const {
    LVHITTESTINFO hit{};
    hit.pt = at;
    if (ListView_SubItemHitTest(m_handle, &hit) < 0 || (hit.flags & LVHT_ONITEM) == 0 || hit.iItem < 0) {
        return {};
    }
    const auto row = static_cast<std::size_t>(hit.iItem) + 1;
    const auto column = static_cast<std::size_t>(hit.iSubItem);
    if (row > m_table.rowCount() || column >= m_table.columnCount()) {
        return {};
    }
    const std::wstring text = widen(m_table.text(row, column));
    // The control leaves a margin on both sides of a cell's text.
    RECT cell{};
    ListView_GetSubItemRect(m_handle, hit.iItem, hit.iSubItem, LVIR_LABEL, &cell);
    const int margin = GetSystemMetrics(SM_CXEDGE) * 6;
    const int width = ListView_GetStringWidth(m_handle, text.c_str());
    return width + margin > cell.right - cell.left ? text : std::wstring();
}

bool ListView::showsLastRow() const {
    const int count = ListView_GetItemCount(m_handle);
    return count == 0 || ListView_GetTopIndex(m_handle) + ListView_GetCountPerPage(m_handle) >= count;
}

void ListView::rowAboutToBeAdded(std::size_t row) {
    // Only a list that shows its end follows it: one scrolled up to read stays.
    m_followNewRow = row == m_table.rowCount() + 1 && showsLastRow();
}

void ListView::rowAdded(std::size_t row) {
    // Only the new count: the rows already drawn stay as they are.
    ListView_SetItemCountEx(m_handle, static_cast<int>(m_table.rowCount()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (m_followNewRow) {
        m_followNewRow = false;
        ListView_EnsureVisible(m_handle, static_cast<int>(row) - 1, FALSE);
    }
}

void ListView::cellChanged(std::size_t row, std::size_t) {
    const int item = static_cast<int>(row) - 1;
    ListView_RedrawItems(m_handle, item, item);
}

void ListView::rowAboutToBeRemoved(std::size_t) {}

void ListView::rowRemoved(std::size_t) {
    ListView_SetItemCountEx(m_handle, static_cast<int>(m_table.rowCount()), LVSICF_NOSCROLL);
    InvalidateRect(m_handle, nullptr, FALSE);
}

} // namespace dwellmark::ui::win32
