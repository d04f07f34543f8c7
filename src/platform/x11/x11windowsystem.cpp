#include "platform/x11/x11windowsystem.h"

#include "platform/linux/lostconnection.h"
#include "platform/linux/processname.h"
#include "platform/linux/titletext.h"
#include "platform/platformerror.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <xcb/res.h>
#include <xcb/xcb.h>
#include <xcb/xproto.h>

namespace dwellmark::platform::x11 {

// Text, process names and the lost connection, shared with the Wayland backends.
using namespace linux;

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

template <class T>
using Owned = std::unique_ptr<T, FreeDeleter>;

// Takes a reply (nullptr when the request failed). A failed request on a live
// connection is an ordinary answer, such as a window that has gone; a broken
// connection is not.
template <class Reply>
Owned<Reply> own(xcb_connection_t* connection, Reply* reply, xcb_generic_error_t** error) {
    std::free(*error);
    *error = nullptr;
    if (reply == nullptr && xcb_connection_has_error(connection) != 0) {
        connectionLost("the X server");
    }
    return Owned<Reply>(reply);
}

// Enough 32-bit units for a title of maxTitleCharacters characters of four
// bytes each; a longer property is cut, which the character cut hides.
constexpr std::uint32_t titleLength = maxTitleCharacters;

// Window managers name a few hundred EWMH hints at most.
constexpr std::uint32_t maxSupportedHints = 1024;

std::string_view bytesOf(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->format != 8) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(reply)),
            static_cast<std::size_t>(xcb_get_property_value_length(reply))};
}

// The first 32-bit item of a property of the given type, 0 when it is unset or of another type.
std::uint32_t firstItem(const xcb_get_property_reply_t* reply, xcb_atom_t type) {
    if (reply == nullptr || reply->type != type || reply->format != 32 || reply->value_len < 1) {
        return 0;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
}

void selectEvents(xcb_connection_t* connection, xcb_window_t window, std::uint32_t mask) {
    // Unchecked: when the window is already gone, the error arrives among the
    // events and is passed over there.
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
}

// The local process id that an X-Resource client-id reply names, 0 when it names none.
std::uint32_t localClientPid(const xcb_res_query_client_ids_reply_t* reply) {
    std::uint32_t pid = 0;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply); it.rem > 0; xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
            xcb_res_client_id_value_value_length(it.data) >= 1) {
            pid = *xcb_res_client_id_value_value(it.data);
        }
    }
    return pid;
}

} // namespace

X11WindowSystem::X11WindowSystem(const std::string& displayName) : m_decoder(displayName) {
    int screenNumber = 0;
    m_connection = xcb_connect(displayName.c_str(), &screenNumber);
    if (xcb_connection_has_error(m_connection) != 0) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        throw PlatformError("cannot connect to the X server of DISPLAY=" + displayName);
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 1; ++i) {
        xcb_screen_next(&screens);
    }
    m_root = screens.data->root;
    xcb_prefetch_extension_data(m_connection, &xcb_res_id);

    selectEvents(m_connection, m_root, XCB_EVENT_MASK_PROPERTY_CHANGE);
    internAtoms();
    findResourceExtension();
    readWindowManager();
    readActiveWindow();
    takeEvents(Reading::Queued);
}

X11WindowSystem::~X11WindowSystem() {
    if (m_connection != nullptr) {
        xcb_disconnect(m_connection);
    }
}

void X11WindowSystem::internAtoms() {
    struct Wanted {
        std::string_view name;
        std::uint32_t* atom;
    };
    const std::array wanted{
        Wanted{"_NET_ACTIVE_WINDOW", &m_atoms.netActiveWindow},
        Wanted{"_NET_SUPPORTING_WM_CHECK", &m_atoms.netSupportingWmCheck},
        Wanted{"_NET_WM_NAME", &m_atoms.netWmName},
        Wanted{"_NET_WM_PID", &m_atoms.netWmPid},
        Wanted{"_NET_SUPPORTED", &m_atoms.netSupported},
        Wanted{"UTF8_STRING", &m_atoms.utf8String},
        Wanted{"WM_STATE", &m_atoms.wmState},
    };
    std::array<xcb_intern_atom_cookie_t, wanted.size()> cookies{};
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        cookies[i] =
            xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(wanted[i].name.size()), wanted[i].name.data());
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        xcb_generic_error_t* error = nullptr;
        auto reply = own(m_connection, xcb_intern_atom_reply(m_connection, cookies[i], &error), &error);
        *wanted[i].atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
}

void X11WindowSystem::findResourceExtension() {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_connection, &xcb_res_id);
    if (extension == nullptr || extension->present == 0) {
        return;
    }
    xcb_generic_error_t* error = nullptr;
    auto version =
        own(m_connection, xcb_res_query_version_reply(m_connection, xcb_res_query_version(m_connection, 1, 2), &error),
            &error);
    // Client ids (with the process of a local client) came with version 1.2.
    if (version == nullptr || version->server_major < 1 || (version->server_major == 1 && version->server_minor < 2)) {
        return;
    }
    // The server names processes as its own machine sees them. Only when it
    // names ours right do its answers hold for the processes we can look at.
    xcb_res_client_id_spec_t ourselves{xcb_generate_id(m_connection), XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    auto ids =
        own(m_connection,
            xcb_res_query_client_ids_reply(m_connection, xcb_res_query_client_ids(m_connection, 1, &ourselves), &error),
            &error);
    if (ids == nullptr) {
        return;
    }
    m_clientPids = localClientPid(ids.get()) == static_cast<std::uint32_t>(getpid());
}

void X11WindowSystem::checkConnection() {
    if (xcb_connection_has_error(m_connection) != 0) {
        connectionLost("the X server");
    }
}

std::uint64_t X11WindowSystem::beginTick() {
    // What the last tick did not ask after all is not waited for.
    dropAskedAhead();
    takeEvents(Reading::Connection);
    const Pending pending = std::move(m_pending);
    m_pending = Pending{};
    m_answersVersion += pending.any() || followsInputFocus() ? 1 : 0;
    apply(pending);
    if (followsInputFocus()) {
        // No event tells of a new focus; the ticks come every millisecond here.
        readInputFocus();
    }
    // What the replies of those reads brought along waits for the next tick.
    takeEvents(Reading::Queued);
    return m_answersVersion;
}

bool X11WindowSystem::readChanges() {
    takeEvents(Reading::Connection);
    return m_pending.any();
}

bool X11WindowSystem::followsInputFocus() const {
    return m_wmCheck != 0 && !m_activeWindowKept && !m_activeWindowSet;
}

void X11WindowSystem::readInputFocus() {
    xcb_generic_error_t* error = nullptr;
    auto focus =
        own(m_connection, xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), &error), &error);
    // None and PointerRoot name no window.
    const std::uint32_t focused = focus != nullptr && focus->focus > XCB_INPUT_FOCUS_POINTER_ROOT ? focus->focus : 0;
    if (focused == m_focus) {
        return;
    }
    m_focus = focused;
    // The focus may sit in a child of the program's window, and that window in
    // the window manager's frame: the program's window is the one that the
    // window manager marked with WM_STATE, else the child of the root window.
    std::uint32_t topLevel = 0;
    for (std::uint32_t window = focused; window != 0 && window != m_root;) {
        auto state = own(m_connection,
                         xcb_get_property_reply(
                             m_connection,
                             xcb_get_property(m_connection, 0, window, m_atoms.wmState, m_atoms.wmState, 0, 1), &error),
                         &error);
        if (state != nullptr && state->type == m_atoms.wmState) {
            topLevel = window;
            break;
        }
        auto tree =
            own(m_connection, xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), &error), &error);
        if (tree == nullptr) {
            topLevel = 0;
            break;
        }
        topLevel = window;
        window = tree->parent;
    }
    changeActive(topLevel);
}

void X11WindowSystem::changeActive(std::uint32_t active) {
    if (active != m_active) {
        // A destroyed window was kept only because it was still named active.
        if (auto it = m_windows.find(m_active); it != m_windows.end() && it->second != WindowState::Alive) {
            m_windows.erase(it);
        }
        m_active = active;
    }
}

int X11WindowSystem::changeDescriptor() const {
    if (m_wmCheck != 0 && !m_activeWindowKept) {
        return -1;
    }
    return xcb_get_file_descriptor(m_connection);
}

void X11WindowSystem::takeEvents(Reading reading) {
    // xcb_poll_for_event reads the socket whenever its queue is empty, so it
    // is called once at most: the rest is what that read brought.
    xcb_generic_event_t* raw = reading == Reading::Connection ? xcb_poll_for_event(m_connection) : nullptr;
    if (raw == nullptr) {
        raw = xcb_poll_for_queued_event(m_connection);
    }
    for (; raw != nullptr; raw = xcb_poll_for_queued_event(m_connection)) {
        const Owned<xcb_generic_event_t> event(raw);
        switch (event->response_type & 0x7FU) {
        case XCB_PROPERTY_NOTIFY: {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if (notify->window == m_root && notify->atom == m_atoms.netActiveWindow) {
                // A change that the server made before it read the value for
                // us is in that value already (a window manager that names
                // none for a moment, then the new window, is often read once).
                m_pending.activeWindow = m_pending.activeWindow || !readAfter(notify->sequence);
            } else if (notify->window == m_root &&
                       (notify->atom == m_atoms.netSupportingWmCheck || notify->atom == m_atoms.netSupported)) {
                m_pending.windowManager = true;
            }
            break;
        }
        case XCB_DESTROY_NOTIFY:
            m_pending.destroyed.push_back(reinterpret_cast<const xcb_destroy_notify_event_t*>(event.get())->window);
            break;
        default:
            // Errors of unchecked requests about windows that had gone, and
            // events of no interest.
            break;
        }
    }
    checkConnection();
}

void X11WindowSystem::apply(const Pending& pending) {
    for (const std::uint32_t window : pending.destroyed) {
        noteDestroyed(window);
    }
    if (pending.windowManager) {
        readWindowManager();
    }
    if (pending.activeWindow) {
        readActiveWindow();
    }
}

void X11WindowSystem::noteDestroyed(std::uint32_t window) {
    if (window == m_wmCheck) {
        m_wmCheck = 0;
    }
    if (auto it = m_windows.find(window); it != m_windows.end()) {
        // Only the active window is remembered as destroyed, for as long as
        // it is named active; any other is forgotten at once. Its id may come
        // back with a new window of another client, and a window asked about
        // once must not be kept for the rest of the run.
        if (window == m_active) {
            it->second = WindowState::Destroyed;
        } else {
            m_windows.erase(it);
        }
    }
}

void X11WindowSystem::readWindowManager() {
    // An EWMH window manager names a child window of its own on the root
    // window, and that window names itself; a name left behind by a window
    // manager that has gone fails the second test.
    xcb_generic_error_t* error = nullptr;
    auto onRoot =
        own(m_connection,
            xcb_get_property_reply(
                m_connection,
                xcb_get_property(m_connection, 0, m_root, m_atoms.netSupportingWmCheck, XCB_ATOM_WINDOW, 0, 1), &error),
            &error);
    const std::uint32_t check = firstItem(onRoot.get(), XCB_ATOM_WINDOW);
    m_wmCheck = 0;
    if (check == 0) {
        return;
    }
    // Watched first, so that the window manager's end is seen even when it
    // comes right after this look.
    selectEvents(m_connection, check, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    auto onCheck =
        own(m_connection,
            xcb_get_property_reply(
                m_connection,
                xcb_get_property(m_connection, 0, check, m_atoms.netSupportingWmCheck, XCB_ATOM_WINDOW, 0, 1), &error),
            &error);
    if (firstItem(onCheck.get(), XCB_ATOM_WINDOW) == check) {
        m_wmCheck = check;
        m_activeWindowKept = supportsHint(m_atoms.netActiveWindow);
    }
}

bool X11WindowSystem::supportsHint(std::uint32_t hint) {
    xcb_generic_error_t* error = nullptr;
    auto supported = own(m_connection,
                         xcb_get_property_reply(m_connection,
                                                xcb_get_property(m_connection, 0, m_root, m_atoms.netSupported,
                                                                 XCB_ATOM_ATOM, 0, maxSupportedHints),
                                                &error),
                         &error);
    if (supported == nullptr || supported->type != XCB_ATOM_ATOM || supported->format != 32) {
        return false;
    }
    const auto* hints = static_cast<const std::uint32_t*>(xcb_get_property_value(supported.get()));
    return std::find(hints, hints + supported->value_len, hint) != hints + supported->value_len;
}

bool X11WindowSystem::readAfter(std::uint16_t eventSequence) const {
    // An event carries the low 16 bits of the number of our last request that
    // the server had handled when the event came about.
    const auto since = static_cast<std::uint16_t>(static_cast<std::uint16_t>(m_activeReadRequest) - eventSequence);
    return m_activeReadDone && since != 0 && since < 0x8000U;
}

void X11WindowSystem::readActiveWindow() {
    xcb_generic_error_t* error = nullptr;
    const auto cookie = xcb_get_property(m_connection, 0, m_root, m_atoms.netActiveWindow, XCB_ATOM_WINDOW, 0, 1);
    auto reply = own(m_connection, xcb_get_property_reply(m_connection, cookie, &error), &error);
    m_activeReadRequest = cookie.sequence;
    m_activeReadDone = true;
    // Unset, not None: a window manager that never writes it.
    m_activeWindowSet = reply != nullptr && reply->type != XCB_ATOM_NONE;
    if (followsInputFocus()) {
        m_focus = notLooked;
        readInputFocus();
        return;
    }
    changeActive(firstItem(reply.get(), XCB_ATOM_WINDOW));
}

WindowHandle X11WindowSystem::foregroundWindow() {
    if (m_wmCheck == 0 || m_active == 0) {
        return 0;
    }
    // Some window managers go on naming a destroyed window for a moment.
    if (auto it = m_windows.find(m_active); it != m_windows.end() && it->second != WindowState::Alive) {
        return 0;
    }
    return static_cast<WindowHandle>(m_active);
}

bool X11WindowSystem::isWindow(WindowHandle handle) {
    if (handle <= 0) {
        return false;
    }
    const auto window = static_cast<std::uint32_t>(handle);
    if (window == m_root) {
        return true;
    }
    if (auto it = m_windows.find(window); it != m_windows.end()) {
        if (it->second == WindowState::Alive) {
            return true;
        }
        if (window == m_active) {
            it->second = WindowState::DestroyedReported;
        } else {
            m_windows.erase(it);
        }
        return false;
    }
    // A window not seen before: watch for its destruction first, then ask
    // whether it exists; one round trip, and from then on the events tell.
    xcb_generic_error_t* error = nullptr;
    auto attributes =
        own(m_connection, xcb_get_window_attributes_reply(m_connection, {askExistence(window)}, &error), &error);
    takeEvents(Reading::Queued);
    if (attributes != nullptr) {
        m_windows[window] = WindowState::Alive;
        return true;
    }
    if (window == m_active) {
        m_windows[window] = WindowState::DestroyedReported;
    }
    return false;
}

unsigned int X11WindowSystem::askExistence(std::uint32_t window) {
    if (m_askedAhead.existence && m_askedAhead.window == window) {
        m_askedAhead.existence = false;
        return m_askedAhead.attributes;
    }
    selectEvents(m_connection, window, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    return xcb_get_window_attributes(m_connection, window).sequence;
}

X11WindowSystem::TitleRequests X11WindowSystem::askTitle(std::uint32_t window) {
    if (m_askedAhead.title && m_askedAhead.window == window) {
        m_askedAhead.title = false;
        return m_askedAhead.titles;
    }
    return {xcb_get_property(m_connection, 0, window, m_atoms.netWmName, m_atoms.utf8String, 0, titleLength).sequence,
            xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, titleLength)
                .sequence};
}

void X11WindowSystem::askAhead(std::uint32_t window) {
    dropAskedAhead();
    // The tracker reads a new window's title right after its process, and
    // asks whether it exists before the tick ends: one round trip for all.
    AskedAhead ahead;
    ahead.window = window;
    ahead.titles = askTitle(window);
    ahead.title = true;
    if (m_windows.find(window) == m_windows.end()) {
        ahead.attributes = askExistence(window);
        ahead.existence = true;
    }
    m_askedAhead = ahead;
}

void X11WindowSystem::dropAskedAhead() {
    if (m_askedAhead.title) {
        xcb_discard_reply(m_connection, m_askedAhead.titles.net);
        xcb_discard_reply(m_connection, m_askedAhead.titles.old);
    }
    if (m_askedAhead.existence) {
        xcb_discard_reply(m_connection, m_askedAhead.attributes);
    }
    m_askedAhead = AskedAhead{};
}

std::string X11WindowSystem::getWindowTitle(WindowHandle handle) {
    if (handle <= 0) {
        return {};
    }
    const auto window = static_cast<std::uint32_t>(handle);
    const TitleRequests requests = askTitle(window);
    xcb_generic_error_t* error = nullptr;
    auto netName = own(m_connection, xcb_get_property_reply(m_connection, {requests.net}, &error), &error);
    auto oldName = own(m_connection, xcb_get_property_reply(m_connection, {requests.old}, &error), &error);
    takeEvents(Reading::Queued);
    if (netName != nullptr && netName->type == m_atoms.utf8String && netName->format == 8) {
        return titleFromUtf8(bytesOf(netName.get()));
    }
    if (oldName == nullptr || oldName->type == XCB_ATOM_NONE) {
        return {};
    }
    return decodeTitle(bytesOf(oldName.get()), oldName->type);
}

std::string X11WindowSystem::decodeTitle(std::string_view bytes, std::uint32_t type) {
    if (type == XCB_ATOM_STRING) {
        return titleFromLatin1(bytes);
    }
    if (type == m_atoms.utf8String) {
        return titleFromUtf8(bytes);
    }
    // COMPOUND_TEXT and other encodings: the X library's conversion. The
    // result is checked like any other text from outside.
    return titleFromUtf8(m_decoder.toUtf8(untilNul(bytes), type));
}

std::string X11WindowSystem::getProcessName(WindowHandle handle) {
    if (handle <= 0) {
        return {};
    }
    const auto window = static_cast<std::uint32_t>(handle);
    const auto machineCookie =
        xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_GET_PROPERTY_TYPE_ANY, 0, 64);
    const auto pidCookie = xcb_get_property(m_connection, 0, window, m_atoms.netWmPid, XCB_ATOM_CARDINAL, 0, 1);
    xcb_res_query_client_ids_cookie_t idsCookie{};
    if (m_clientPids) {
        const xcb_res_client_id_spec_t query{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        idsCookie = xcb_res_query_client_ids(m_connection, 1, &query);
    }
    askAhead(window);
    xcb_generic_error_t* error = nullptr;
    auto machine = own(m_connection, xcb_get_property_reply(m_connection, machineCookie, &error), &error);
    auto wmPid = own(m_connection, xcb_get_property_reply(m_connection, pidCookie, &error), &error);
    Owned<xcb_res_query_client_ids_reply_t> ids;
    if (m_clientPids) {
        ids = own(m_connection, xcb_res_query_client_ids_reply(m_connection, idsCookie, &error), &error);
    }
    takeEvents(Reading::Queued);
    // The server names the owner of the window's id range even after the
    // window is gone; the failed property read tells that it is.
    if (machine == nullptr) {
        return {};
    }
    const bool machineNamed = machine->type != XCB_ATOM_NONE && machine->format == 8;
    if (machineNamed && !isThisHost(untilNul(bytesOf(machine.get())))) {
        return {};
    }
    long pid = ids != nullptr ? static_cast<long>(localClientPid(ids.get())) : 0;
    // _NET_WM_PID is the program's own word, and means something only
    // together with the machine it names.
    if (pid == 0 && machineNamed) {
        pid = static_cast<long>(firstItem(wmPid.get(), XCB_ATOM_CARDINAL));
    }
    return executableBaseName(pid);
}

} // namespace dwellmark::platform::x11
