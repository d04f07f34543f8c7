// The Windows backend's window questions and its change reports.
#include "platform/win32/windowsystem.h"

#include "platform/win32/processname.h"

#include <map>
#include <utility>

namespace dwellmark::platform::win32 {
namespace {

// Out-of-context hooks call back on the thread that set them, with nothing but
// the hook's handle to say for whom.
thread_local std::map<HWINEVENTHOOK, Win32WindowSystem*> t_hooks;

// How long the start-up check waits for the destruction of its own window to
// be reported. Where hooks work the report is there at once; the limit only
// bounds the start of a program on a system that never reports.
constexpr DWORD probeLimitMs = 1000;

constexpr wchar_t probeClass[] = L"DwellmarkHookProbe";

} // namespace

Win32WindowSystem::~Win32WindowSystem() {
    unhook();
}

bool Win32WindowSystem::setChangeListener(std::function<void()> listener) {
    m_listener = nullptr;
    if (!listener) {
        unhook();
        return false;
    }
    if (m_foregroundHook == nullptr && (!hook() || !eventsArrive())) {
        unhook();
        return false;
    }
    m_listener = std::move(listener);
    return true;
}

bool Win32WindowSystem::hook() {
    constexpr DWORD flags = WINEVENT_OUTOFCONTEXT;
    m_foregroundHook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, onEvent, 0, 0, flags);
    // Minimizing the foreground window can leave no window in the foreground
    // without a foreground event.
    m_minimizeHook =
        SetWinEventHook(EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND, nullptr, onEvent, 0, 0, flags);
    m_destroyHook = SetWinEventHook(EVENT_OBJECT_DESTROY, EVENT_OBJECT_DESTROY, nullptr, onEvent, 0, 0, flags);
    for (const HWINEVENTHOOK hook : {m_foregroundHook, m_minimizeHook, m_destroyHook}) {
        if (hook == nullptr) {
            return false;
        }
        t_hooks[hook] = this;
    }
    return true;
}

// Setting a hook succeeds on systems that then never call it (Wine 8 reports
// the creation of windows but neither their destruction nor the foreground),
// so destroy a hidden window of our own and see whether that is reported
// before the creation of a second one made after it. Reports arrive in order,
// so the answer needs no waiting where either arrives; the limit only bounds
// the start on a system that reports nothing. Only sent messages and hook calls
// run meanwhile: posted messages stay queued for the program's own loop.
bool Win32WindowSystem::eventsArrive() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = probeClass;
    RegisterClassW(&windowClass);
    m_createHook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, onEvent, GetCurrentProcessId(),
                                   GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    if (m_createHook == nullptr) {
        return false;
    }
    t_hooks[m_createHook] = this;
    const auto makeWindow = [&] {
        return CreateWindowExW(WS_EX_TOOLWINDOW, probeClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    };
    m_probeSeen = false;
    m_markerSeen = false;
    m_probe = makeWindow();
    DestroyWindow(m_probe);
    // Kept until its report is in: Wine drops reports of windows that are gone.
    m_marker = makeWindow();
    const ULONGLONG deadline = GetTickCount64() + probeLimitMs;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    while (m_probe != nullptr && m_marker != nullptr && !m_probeSeen && !m_markerSeen) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            break;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_SENDMESSAGE | QS_POSTMESSAGE,
                                    MWMO_INPUTAVAILABLE);
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (m_marker != nullptr) {
        DestroyWindow(m_marker);
    }
    UnhookWinEvent(m_createHook);
    t_hooks.erase(m_createHook);
    m_createHook = nullptr;
    m_probe = nullptr;
    m_marker = nullptr;
    return m_probeSeen;
}

void Win32WindowSystem::unhook() {
    for (HWINEVENTHOOK* hook : {&m_foregroundHook, &m_minimizeHook, &m_destroyHook}) {
        if (*hook != nullptr) {
            UnhookWinEvent(*hook);
            t_hooks.erase(*hook);
            *hook = nullptr;
        }
    }
}

void CALLBACK Win32WindowSystem::onEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                                         DWORD thread, DWORD time) {
    static_cast<void>(thread);
    static_cast<void>(time);
    const auto found = t_hooks.find(hook);
    if (found != t_hooks.end()) {
        found->second->event(event, window, object, child);
    }
}

void Win32WindowSystem::event(DWORD event, HWND window, LONG object, LONG child) {
    // Destruction is reported for every caret, menu and control as well; only
    // windows matter to the questions asked here.
    if ((event == EVENT_OBJECT_DESTROY || event == EVENT_OBJECT_CREATE) &&
        (object != OBJID_WINDOW || child != CHILDID_SELF)) {
        return;
    }
    if (m_probe != nullptr && window == m_probe && event == EVENT_OBJECT_DESTROY) {
        m_probeSeen = true;
        return;
    }
    if (event == EVENT_OBJECT_CREATE) {
        m_markerSeen = m_markerSeen || (m_marker != nullptr && window == m_marker);
        return;
    }
    if (m_listener) {
        m_listener();
    }
}

WindowHandle Win32WindowSystem::foregroundWindow() {
    return toWindowHandle(GetForegroundWindow());
}

bool Win32WindowSystem::isWindow(WindowHandle handle) {
    return IsWindow(toHwnd(handle)) != FALSE;
}

std::string Win32WindowSystem::getWindowTitle(WindowHandle handle) {
    return win32::getWindowTitle(handle);
}

std::string Win32WindowSystem::getProcessName(WindowHandle handle) {
    return win32::getProcessName(handle);
}

// A Store app's frame can take the foreground before the app has joined it.
bool Win32WindowSystem::isProvisionalApplication(std::string_view application) const {
    return namesFrameHost(application);
}

} // namespace dwellmark::platform::win32
