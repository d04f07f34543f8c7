// The chart window: a modal window with a bar chart drawn by the program.
#include "ui/win32/chartwindow.h"

#include "ui/layout.h"
#include "ui/texts.h"
#include "ui/win32/clientsize.h"
#include "ui/win32/failure.h"
#include "ui/win32/widetext.h"
#include "ui/win32/windowclass.h"

#include <algorithm>
#include <commctrl.h>
#include <stdexcept>
#include <string>
#include <vector>
#include <windowsx.h>

namespace dwellmark::ui::win32 {

namespace {

// A dialog's frame: window managers give such a window the focus when it opens.
constexpr DWORD chartWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD chartWindowExStyle = WS_EX_DLGMODALFRAME;

HFONT makeFont(int pixels, int escapement, bool bold) {
    return CreateFontW(-pixels, 0, escapement, escapement, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                       L"Arial");
}

void fillBox(HDC dc, const ChartPicture::Box& box, COLORREF colour) {
    const RECT rect{box.left, box.top, box.right, box.bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// A text from (x, y) as align says, cut to its box so that it never runs
// into a neighbour.
void text(HDC dc, int x, int y, const std::wstring& wide, UINT align, const ChartPicture::Box& box) {
    const RECT clip{box.left, box.top, box.right, box.bottom};
    SetTextAlign(dc, align);
    ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
}

void text(HDC dc, int x, int y, const std::string& utf8, UINT align, const ChartPicture::Box& box) {
    text(dc, x, y, widen(utf8), align, box);
}

// The text as it fits into width pixels in the dc's font: whole, or as much
// of it as fits with "\u2026" after, so that a cut name says it is cut.
std::wstring fitted(HDC dc, const std::wstring& wide, int width) {
    SIZE size{};
    if (GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size) != FALSE && size.cx <= width) {
        return wide;
    }
    const std::wstring ellipsis = L"\u2026";
    SIZE dots{};
    GetTextExtentPoint32W(dc, ellipsis.c_str(), 1, &dots);
    int fit = 0;
    GetTextExtentExPointW(dc, wide.c_str(), static_cast<int>(wide.size()),
                          std::max(0, width - static_cast<int>(dots.cx)), &fit, nullptr, &size);
    // Never half of a character outside the Basic Multilingual Plane.
    if (fit > 0 && IS_HIGH_SURROGATE(wide[static_cast<std::size_t>(fit) - 1])) {
        --fit;
    }
    return wide.substr(0, static_cast<std::size_t>(std::max(fit, 0))) + ellipsis;
}

// What the legend says of a bar, in the dc's font.
std::wstring entryText(HDC dc, const ChartPicture::Bar& bar) {
    return fitted(dc, widen(bar.name), bar.legendText.right - bar.legendX);
}

} // namespace

ChartWindow::ChartWindow(HWND owner, ChartData data)
    : m_owner(owner), m_data(std::move(data)), m_picture(m_data, layout::chartRect.width, layout::chartRect.height) {
    registerWindowClass(className, LoadCursorW(nullptr, IDC_ARROW), "the chart window");
    m_dpi = owner != nullptr ? static_cast<int>(GetDpiForWindow(owner)) : static_cast<int>(GetDpiForSystem());
    m_handle = CreateWindowExW(chartWindowExStyle, className, widen(texts::chartWindowCaption).c_str(),
                               chartWindowStyle, 0, 0, layout::chartWindowClient.width,
                               layout::chartWindowClient.height, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_handle == nullptr) {
        throw std::runtime_error("the chart window could not be made");
    }
    SetWindowLongPtrW(m_handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
    applyDpi(m_dpi);
    makeTip();
    setClientSize(m_handle, MulDiv(layout::chartWindowClient.width, m_dpi, 96),
                  MulDiv(layout::chartWindowClient.height, m_dpi, 96));
    // Centred on the whole screen by the outer size the window really has.
    RECT placed;
    GetWindowRect(m_handle, &placed);
    SetWindowPos(m_handle, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (placed.right - placed.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (placed.bottom - placed.top)) / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

ChartWindow::~ChartWindow() {
    if (m_handle != nullptr) {
        SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
        DestroyWindow(m_handle);
    }
    DeleteObject(m_font);
    DeleteObject(m_verticalFont);
}

std::wstring ChartWindow::legendEntry(std::size_t bar) const {
    HDC dc = GetDC(m_handle);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    std::wstring entry = entryText(dc, m_picture.bars().at(bar));
    SelectObject(dc, oldFont);
    ReleaseDC(m_handle, dc);
    return entry;
}

RECT ChartWindow::chartArea() const {
    return RECT{MulDiv(layout::chartRect.left, m_dpi, 96), MulDiv(layout::chartRect.top, m_dpi, 96),
                MulDiv(layout::chartRect.left + layout::chartRect.width, m_dpi, 96),
                MulDiv(layout::chartRect.top + layout::chartRect.height, m_dpi, 96)};
}

void ChartWindow::applyDpi(int dpi) {
    m_dpi = dpi;
    const double scale = dpi / 96.0;
    m_picture = ChartPicture(m_data, MulDiv(layout::chartRect.width, dpi, 96),
                             MulDiv(layout::chartRect.height, dpi, 96), scale);
    DeleteObject(m_font);
    DeleteObject(m_verticalFont);
    m_font = makeFont(MulDiv(12, dpi, 96), 0, false);
    // Rotated a quarter turn anticlockwise, read from the bottom up.
    m_verticalFont = makeFont(MulDiv(13, dpi, 96), 900, true);
}

void ChartWindow::makeTip() {
    // A tracked tip: the window says where it shows and what it says, as the
    // bar under the pointer changes, rather than one tool per bar.
    m_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                            0, m_handle, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_tip == nullptr) {
        throw std::runtime_error("the chart's tip could not be made");
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = m_handle;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A width lets the tip break its lines: the title, then the seconds.
    SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, MulDiv(480, m_dpi, 96));
}

void ChartWindow::pointerAt(POINT at) {
    const RECT area = chartArea();
    const int x = at.x - area.left;
    const int y = at.y - area.top;
    const std::vector<std::size_t> bars = m_picture.barsAt(x, y);
    if (bars.empty()) {
        hideTip();
        return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_handle;
    tool.uId = 1;
    if (m_tipBar != bars.front()) {
        m_tipBar = bars.front();
        std::wstring text;
        for (const wchar_t c : widen(m_picture.tipAt(x, y))) {
            text += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
        }
        tool.lpszText = text.data();
        SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // Below and right of the pointer, where the pointer does not hide it.
    POINT screen = at;
    ClientToScreen(m_handle, &screen);
    SendMessageW(m_tip, TTM_TRACKPOSITION, 0,
                 MAKELPARAM(screen.x + MulDiv(12, m_dpi, 96), screen.y + MulDiv(20, m_dpi, 96)));
    SendMessageW(m_tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void ChartWindow::hideTip() {
    if (!m_tipBar) {
        return;
    }
    m_tipBar.reset();
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_handle;
    tool.uId = 1;
    SendMessageW(m_tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void ChartWindow::exec() {
    const bool ownerWasEnabled = m_owner != nullptr && IsWindowEnabled(m_owner) != FALSE;
    if (ownerWasEnabled) {
        EnableWindow(m_owner, FALSE);
    }
    ShowWindow(m_handle, SW_SHOW);
    SetForegroundWindow(m_handle);
    // The keys (Esc, Alt+F4) reach the chart at once, without a click first.
    SetFocus(m_handle);
    MSG message;
    bool quit = false;
    while (!m_closed) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = got == 0;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The owner gets the input back before this window goes, so that the
    // foreground returns to it and not to some other program's window; its
    // last control gets the focus back as the owner is activated.
    if (ownerWasEnabled) {
        EnableWindow(m_owner, TRUE);
    }
    hideTip();
    ShowWindow(m_handle, SW_HIDE);
    if (quit) {
        PostQuitMessage(static_cast<int>(message.wParam));
    }
}

LRESULT CALLBACK ChartWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<ChartWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // After a failure the window only paints and answers the system.
    if (form == nullptr || failing()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return guarded([&] { return form->onMessage(message, wParam, lParam); });
}

LRESULT ChartWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        m_closed = true;
        return 0;
    case WM_KEYDOWN:
        // Esc closes the chart, as it closes a dialog.
        if (wParam == VK_ESCAPE) {
            m_closed = true;
            return 0;
        }
        return DefWindowProcW(m_handle, message, wParam, lParam);
    case WM_MOUSEMOVE:
        if (!m_trackingLeave) {
            TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, m_handle, 0};
            m_trackingLeave = TrackMouseEvent(&leave) != FALSE;
        }
        pointerAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSELEAVE:
        m_trackingLeave = false;
        hideTip();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paintStruct;
        HDC dc = BeginPaint(m_handle, &paintStruct);
        paint(dc);
        EndPaint(m_handle, &paintStruct);
        return 0;
    }
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_handle, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(m_handle, nullptr, TRUE);
        return 0;
    }
    default:
        return DefWindowProcW(m_handle, message, wParam, lParam);
    }
}

void ChartWindow::paint(HDC dc) {
    const RECT area = chartArea();
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, area.left, area.top, nullptr);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, m_font);
    const ChartPicture& picture = m_picture;
    const ChartPicture::Box& plot = picture.plot();

    // The chart's own frame; the window cuts off its left, right and bottom.
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, area.right - area.left, area.bottom - area.top);

    HPEN grid = CreatePen(PS_SOLID, 1, RGB(0xD0, 0xD0, 0xD0));
    HGDIOBJ oldPen = SelectObject(dc, grid);
    for (const ChartPicture::Gridline& gridline : picture.gridlines()) {
        line(dc, plot.left, gridline.y, plot.right, gridline.y);
        text(dc, gridline.labelBox.right, gridline.labelBox.top, gridline.label, TA_RIGHT | TA_TOP, gridline.labelBox);
    }
    SelectObject(dc, oldPen);
    DeleteObject(grid);

    for (const ChartPicture::Bar& bar : picture.bars()) {
        if (bar.drawn) {
            fillBox(dc, bar.box, bar.colour);
        }
        if (bar.inLegend) {
            fillBox(dc, bar.swatch, bar.colour);
            text(dc, bar.legendX, bar.legendY, entryText(dc, bar), TA_LEFT | TA_TOP, bar.legendText);
        }
    }
    const ChartPicture::Box& more = picture.moreBox();
    text(dc, more.left, more.top, picture.moreText(), TA_LEFT | TA_TOP, more);

    // The axes: the value axis on the left, the category axis on the zero line.
    SelectObject(dc, GetStockObject(BLACK_PEN));
    line(dc, plot.left, plot.top, plot.left, plot.bottom);
    line(dc, plot.left, picture.zeroY(), plot.right, picture.zeroY());

    const ChartData& data = picture.data();
    text(dc, picture.categoryX(), picture.categoryY(), data.category, TA_CENTER | TA_TOP, picture.categoryBox());
    HGDIOBJ oldFont = SelectObject(dc, m_verticalFont);
    text(dc, picture.yTitleX(), picture.yTitleY(), data.yAxisTitle, TA_CENTER | TA_BASELINE, picture.yTitleBox());
    SelectObject(dc, oldFont);
    LOGFONTW bold{};
    GetObjectW(m_font, sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    HFONT titleFont = CreateFontIndirectW(&bold);
    oldFont = SelectObject(dc, titleFont);
    text(dc, picture.xTitleX(), picture.xTitleY(), data.xAxisTitle, TA_CENTER | TA_TOP, picture.xTitleBox());
    SelectObject(dc, oldFont);
    DeleteObject(titleFont);
    RestoreDC(dc, saved);
}

} // namespace dwellmark::ui::win32
