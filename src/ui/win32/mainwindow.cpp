// The main window over the Win32 API: two ListViews, two check boxes, the tick.
#include "ui/win32/mainwindow.h"

#include "tracking/changefeed.h"
#include "ui/chartdata.h"
#include "ui/cursordirectory.h"
#include "ui/layout.h"
#include "ui/texts.h"
#include "ui/win32/chartwindow.h"
#include "ui/win32/clientsize.h"
#include "ui/win32/failure.h"
#include "ui/win32/tickdriver.h"
#include "ui/win32/widetext.h"
#include "ui/win32/windowclass.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace dwellmark::ui::win32 {

namespace {

constexpr DWORD mainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

HFONT makeFont(const layout::Font& font, int dpi) {
    // Points at this many dots per inch; a negative height asks for the em.
    const int height = -static_cast<int>(font.points * dpi / 72.0 + 0.5);
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                       widen(font.face).c_str());
}

RECT scaledRect(const layout::Rect& rect, int dpi) {
    return RECT{MulDiv(rect.left, dpi, 96), MulDiv(rect.top, dpi, 96), MulDiv(rect.left + rect.width, dpi, 96),
                MulDiv(rect.top + rect.height, dpi, 96)};
}

// The modification time can be read: anything that exists and can be reached.
bool fileExists(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
}

} // namespace

MainWindow::MainWindow(ActivityTracker& tracker, ChangeFeed& changes, std::wstring programFolder,
                       std::unique_ptr<TickPoster> ticks)
    : m_tracker(tracker), m_changes(changes), m_programFolder(std::move(programFolder)), m_ticks(std::move(ticks)) {
    // The window's pointer setting decides the pointer, not the class.
    registerWindowClass(className, nullptr, "the main window");
    m_handle = CreateWindowExW(WS_EX_CONTROLPARENT, className, L"", mainWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                               layout::mainWindowClient.width, layout::mainWindowClient.height, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (m_handle == nullptr) {
        throw std::runtime_error("the main window could not be made");
    }
    m_white = CreateSolidBrush(RGB(255, 255, 255));
    // Made in tab order: the order of creation is the order of the Tab key.
    m_usageLog = std::make_unique<ListView>(m_handle, usageLogId, layout::controlLayout(layout::Control::usageLog),
                                            tracker.usageLog());
    m_totals = std::make_unique<ListView>(m_handle, totalsId, layout::controlLayout(layout::Control::totals),
                                          tracker.totals());
    m_openStretches = std::make_unique<ListView>(
        m_handle, openStretchesId, layout::controlLayout(layout::Control::openStretches), tracker.openStretches());
    m_displayChartBox = makeCheckBox(layout::Control::displayChartBox, texts::displayChartCaption, displayChartBoxId);
    m_hideMeBox = makeCheckBox(layout::Control::hideMeBox, texts::hideMeCaption, hideMeBoxId);
    m_lastFocus = m_usageLog->handle();
    for (const HWND control :
         {m_usageLog->handle(), m_totals->handle(), m_openStretches->handle(), m_displayChartBox, m_hideMeBox}) {
        SetWindowSubclass(control, controlProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    SetWindowLongPtrW(m_handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
    // The ticks first: what they have to say decides the window's size.
    if (!m_ticks) {
        m_ticks = std::make_unique<TickDriver>(m_changes);
    }
    makeNotice();
    applyDpi(static_cast<int>(GetDpiForWindow(m_handle)));

    onLoad();

    m_tracker.setMainWindow(static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(m_handle)));
    m_ticks->start(m_handle, tickMessage);
}

MainWindow::~MainWindow() {
    m_ticks->stop();
    for (const HWND control :
         {m_usageLog->handle(), m_totals->handle(), m_openStretches->handle(), m_displayChartBox, m_hideMeBox}) {
        RemoveWindowSubclass(control, controlProc, 1);
    }
    SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
    DestroyWindow(m_handle);
    DeleteObject(m_listFont);
    DeleteObject(m_checkBoxFont);
    DeleteObject(m_noticeFont);
    DeleteObject(m_white);
    if (m_customPointer != nullptr) {
        DestroyCursor(m_customPointer);
    }
}

HWND MainWindow::makeCheckBox(layout::Control control, const char* caption, int id) {
    const layout::ControlLayout& place = layout::controlLayout(control);
    HWND box =
        CreateWindowExW(0, L"BUTTON", widen(caption).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                        place.rect.left, place.rect.top, place.rect.width, place.rect.height, m_handle,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (box == nullptr) {
        throw std::runtime_error("the check box " + std::string(place.name) + " could not be made");
    }
    return box;
}

void MainWindow::makeNotice() {
    // Said on standard error too, which a program started from the Start menu
    // has nowhere to show.
    const std::string_view text = m_ticks->notice();
    const layout::Rect& place = layout::noticeRect;
    const DWORD shown = text.empty() ? 0 : WS_VISIBLE;
    m_notice =
        CreateWindowExW(0, L"STATIC", widen(text).c_str(), WS_CHILD | shown | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE,
                        place.left, place.top, place.width, place.height, m_handle,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(noticeId)), GetModuleHandleW(nullptr), nullptr);
    if (m_notice == nullptr) {
        throw std::runtime_error("the notice line could not be made");
    }
}

void MainWindow::applyDpi(int dpi) {
    m_dpi = dpi;
    DeleteObject(m_listFont);
    DeleteObject(m_checkBoxFont);
    DeleteObject(m_noticeFont);
    m_listFont = makeFont(layout::listFont, dpi);
    m_checkBoxFont = makeFont(layout::checkBoxFont, dpi);
    m_noticeFont = makeFont(layout::noticeFont, dpi);
    for (ListView* list : {m_usageLog.get(), m_totals.get(), m_openStretches.get()}) {
        list->applyDpi(dpi, m_listFont);
    }
    for (const auto& [box, control] : {std::pair{m_displayChartBox, layout::Control::displayChartBox},
                                       std::pair{m_hideMeBox, layout::Control::hideMeBox}}) {
        const RECT rect = scaledRect(layout::controlLayout(control).rect, dpi);
        SetWindowPos(box, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(m_checkBoxFont), TRUE);
    }
    const RECT notice = scaledRect(layout::noticeRect, dpi);
    SetWindowPos(m_notice, nullptr, notice.left, notice.top, notice.right - notice.left, notice.bottom - notice.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(m_notice, WM_SETFONT, reinterpret_cast<WPARAM>(m_noticeFont), TRUE);
    // With a notice the window grows by its strip; every other control stays.
    const layout::Size client =
        m_ticks->notice().empty() ? layout::mainWindowClient : layout::mainWindowClientWithNotice;
    setClientSize(m_handle, MulDiv(client.width, dpi, 96), MulDiv(client.height, dpi, 96));
}

void MainWindow::onLoad() {
    // Centred on the whole screen by the outer size, frame and title bar included.
    RECT outer;
    GetWindowRect(m_handle, &outer);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2;
    SetWindowPos(m_handle, nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);

    const std::wstring pointerFile = m_programFolder + L"\\" + widen(texts::pointerFileName);
    if (fileExists(pointerFile)) {
        // A file that is there but is no cursor leaves the window without one.
        const auto bytes = CursorDirectory::readFile(narrow(pointerFile));
        if (bytes && CursorDirectory::read(*bytes)) {
            m_customPointer =
                static_cast<HCURSOR>(LoadImageW(nullptr, pointerFile.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
        }
    }
    SetWindowTextW(m_handle, widen(texts::mainWindowCaption).c_str());
    m_tracker.setLoggedSeconds(-1);
}

void MainWindow::show(int showCommand) {
    // The window has no maximise box: asked to start maximised, it starts at its size.
    if (showCommand == SW_SHOWMAXIMIZED) {
        showCommand = SW_SHOWNORMAL;
    }
    ShowWindow(m_handle, showCommand);
    // Giving the focus would activate a window that was to start minimised or inactive.
    if (IsIconic(m_handle) == FALSE && showCommand != SW_SHOWNA && showCommand != SW_SHOWNOACTIVATE) {
        SetFocus(m_lastFocus);
    }
}

void MainWindow::onUnload() {
    // Nothing runs after this: no tick, no procedure; the loop ends.
    m_ticks->stop();
    ShowWindow(m_handle, SW_HIDE);
    PostQuitMessage(0);
}

void MainWindow::tick() {
    ++m_ticksRun;
    m_tracker.tick();
}

void MainWindow::setCheck(HWND box, bool checked) {
    const bool isChecked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (isChecked == checked) {
        return;
    }
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    // A change made by the program raises the box's click event too.
    if (box == m_hideMeBox) {
        hideMeClicked();
    } else {
        displayChartClicked();
    }
}

void MainWindow::hideMeClicked() {
    if (SendMessageW(m_hideMeBox, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        return;
    }
    setCheck(m_hideMeBox, false);
    // Shown after the click has returned, as the chart is; one at a time.
    if (!m_hideMeAnswerPending) {
        m_hideMeAnswerPending = PostMessageW(m_handle, hideMeAnswerMessage, 0, 0) != FALSE;
    }
}

void MainWindow::showHideMeAnswer() {
    MessageBoxW(m_handle, widen(texts::hideMeMessage()).c_str(), widen(texts::mainWindowCaption).c_str(), MB_OK);
    m_hideMeAnswerPending = false;
}

void MainWindow::displayChartClicked() {
    if (SendMessageW(m_displayChartBox, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        return;
    }
    setCheck(m_displayChartBox, false);
    if (m_tracker.totals().rowCount() == 0 || m_chartRequested) {
        return;
    }
    // The modal chart opens after the click has returned: a click sent by
    // another program (a screen reader's default action sends BM_CLICK) would
    // otherwise wait until the chart is closed.
    m_chartRequested = PostMessageW(m_handle, openChartMessage, 0, 0) != FALSE;
}

void MainWindow::showChart() {
    m_chartRequested = false;
    const ActivityTable& totals = m_tracker.totals();
    if (totals.rowCount() == 0 || m_openChart != nullptr) {
        return;
    }
    ChartWindow chart(m_handle, ChartData::fromTotals(totals));
    m_openChart = &chart;
    chart.exec();
    m_openChart = nullptr;
}

HCURSOR MainWindow::cursorFor(MousePointer pointer) const {
    switch (pointer) {
    case MousePointer::Busy:
        return LoadCursorW(nullptr, IDC_WAIT);
    case MousePointer::Custom:
        return m_customPointer != nullptr ? m_customPointer : LoadCursorW(nullptr, IDC_ARROW);
    case MousePointer::Default:
        break;
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

void MainWindow::setMousePointer(MousePointer pointer) {
    m_mousePointer = pointer;
    POINT at;
    if (GetCursorPos(&at) != FALSE) {
        const HWND under = WindowFromPoint(at);
        if (under == m_handle || under == m_hideMeBox || under == m_displayChartBox) {
            SetCursor(cursorFor(pointer));
        }
    }
}

void MainWindow::mouseMovedOver(MouseArea area) {
    const MousePointer pointer = pointerAfterMove(m_mousePointer, area);
    if (pointer != m_mousePointer) {
        setMousePointer(pointer);
    }
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // After a failure the window only paints and answers the system.
    if (form == nullptr || failing()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return guarded([&] { return form->onMessage(message, wParam, lParam); });
}

LRESULT CALLBACK MainWindow::controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
    auto* form = reinterpret_cast<MainWindow*>(data);
    if (message == WM_SETFOCUS) {
        form->m_lastFocus = window;
    }
    for (const ListView* list : {form->m_usageLog.get(), form->m_totals.get(), form->m_openStretches.get()}) {
        if (window == list->handle() && list->opensHiddenColumn(message, wParam, lParam)) {
            return FALSE;
        }
    }
    if (message == WM_MOUSEMOVE) {
        guarded([&]() -> LRESULT {
            if (window == form->m_displayChartBox) {
                form->mouseMovedOver(MouseArea::displayChartBox);
            } else if (window == form->m_hideMeBox) {
                form->mouseMovedOver(MouseArea::hideMeBox);
            } else if (window == form->m_usageLog->handle()) {
                form->mouseMovedOver(MouseArea::usageLog);
            } else if (window == form->m_totals->handle()) {
                form->mouseMovedOver(MouseArea::totals);
            }
            return 0;
        });
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case tickMessage:
        m_ticks->ticked();
        tick();
        return 0;
    case WM_TIMER:
        m_ticks->timerFired(wParam);
        return 0;
    case openChartMessage:
        showChart();
        return 0;
    case hideMeAnswerMessage:
        showHideMeAnswer();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == hideMeBoxId) {
                hideMeClicked();
            } else if (LOWORD(wParam) == displayChartBoxId) {
                displayChartClicked();
            }
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        LRESULT result = 0;
        for (ListView* list : {m_usageLog.get(), m_totals.get(), m_openStretches.get()}) {
            if (list->notify(header, result)) {
                return result;
            }
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        // The check boxes sit on the window's white.
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(m_white);
    case WM_MOUSEMOVE:
        mouseMovedOver(MouseArea::Background);
        return 0;
    case WM_SETCURSOR: {
        const auto under = reinterpret_cast<HWND>(wParam);
        if (LOWORD(lParam) == HTCLIENT && (under == m_handle || under == m_hideMeBox || under == m_displayChartBox)) {
            SetCursor(cursorFor(m_mousePointer));
            return TRUE;
        }
        break;
    }
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_handle, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        return 0;
    }
    case WM_ACTIVATE:
        // Active again (after another program, the message box or the chart):
        // the control that had the focus has it again, as in a dialog.
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_SETFOCUS:
        if (IsIconic(m_handle) == FALSE) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_CLOSE:
        onUnload();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_handle, message, wParam, lParam);
}

} // namespace dwellmark::ui::win32
