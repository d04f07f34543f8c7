// The windows of GNOME Shell, as Dwellmark's extension for it reports them over D-Bus.
#include "platform/wayland/gnome/gnomewindowsystem.h"

#include "platform/linux/lostconnection.h"
#include "platform/platformerror.h"
#include "platform/wayland/sessionbus.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <systemd/sd-bus.h>

namespace dwellmark::platform::wayland {

namespace {

constexpr const char* objectPath = "/org/dwellmark/Focus";
constexpr const char* interfaceName = "org.dwellmark.Focus";

bool hasOwner(sd_bus* bus, const char* name) {
    sd_bus_error error{}; // SD_BUS_ERROR_NULL is a C compound literal
    sd_bus_message* reply = nullptr;
    int owned = 0;
    const bool asked = sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                          "NameHasOwner", &error, &reply, "s", name) >= 0 &&
                       sd_bus_message_read(reply, "b", &owned) >= 0;
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    return asked && owned != 0;
}

constexpr const char* shellPath = "/org/gnome/Shell";
constexpr const char* extensionsInterface = "org.gnome.Shell.Extensions";

// Whether the shell lists the extension: it answers an empty dictionary for an unknown one.
bool shellKnowsExtension(sd_bus* bus) {
    sd_bus_error error{}; // SD_BUS_ERROR_NULL is a C compound literal
    sd_bus_message* reply = nullptr;
    const bool known =
        sd_bus_call_method(bus, GnomeWindowSystem::shellName, shellPath, extensionsInterface, "GetExtensionInfo",
                           &error, &reply, "s", GnomeWindowSystem::extensionUuid) >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "{sv}") >= 0 && sd_bus_message_at_end(reply, 0) == 0;
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    return known;
}

// The fields of a FocusChanged signal or of the GetFocused answer; false when they are not there.
bool readFocus(sd_bus_message* message, FocusList::Focus& focus) {
    const char* title = nullptr;
    const char* wmClass = nullptr;
    const char* appId = nullptr;
    std::uint32_t pid = 0;
    std::uint64_t id = 0;
    if (sd_bus_message_read(message, "sssut", &title, &wmClass, &appId, &pid, &id) < 0) {
        return false;
    }
    focus = FocusList::Focus{title, wmClass, appId, static_cast<long>(pid), id};
    return true;
}

} // namespace

/// The handlers of the extension's signals: they hand the reports to the list.
struct GnomeEvents {
    static int focusChanged(sd_bus_message* message, void* data, sd_bus_error* /*error*/) {
        FocusList::Focus focus;
        if (readFocus(message, focus)) {
            static_cast<GnomeWindowSystem*>(data)->m_focus.focusChanged(focus);
        }
        return 0;
    }

    static int windowClosed(sd_bus_message* message, void* data, sd_bus_error* /*error*/) {
        std::uint64_t id = 0;
        if (sd_bus_message_read(message, "t", &id) >= 0) {
            static_cast<GnomeWindowSystem*>(data)->m_focus.windowClosed(id);
        }
        return 0;
    }

    static int wake(sd_bus_message* /*message*/, void* /*data*/, sd_bus_error* /*error*/) { return 0; }
};

GnomeWindowSystem::BusNames GnomeWindowSystem::findBusNames() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) {
        return {};
    }
    BusNames names{hasOwner(bus, busName), hasOwner(bus, shellName), false};
    names.extensionKnown = names.extension || (names.shell && shellKnowsExtension(bus));
    sd_bus_flush_close_unref(bus);
    return names;
}

bool GnomeWindowSystem::enableExtension(std::chrono::milliseconds limit) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) {
        return false;
    }
    sd_bus_error error{}; // SD_BUS_ERROR_NULL is a C compound literal
    sd_bus_message* reply = nullptr;
    int enabled = 0;
    const bool asked = sd_bus_call_method(bus, shellName, shellPath, extensionsInterface, "EnableExtension", &error,
                                          &reply, "s", extensionUuid) >= 0 &&
                       sd_bus_message_read(reply, "b", &enabled) >= 0;
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    // The shell turns the extension on from its settings, after the answer;
    // the extension's name is the sign that it runs.
    bool running = false;
    if (asked && enabled != 0) {
        sd_bus_match_signal(bus, nullptr, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                            "NameOwnerChanged", &GnomeEvents::wake, nullptr);
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!(running = hasOwner(bus, busName))) {
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(end - std::chrono::steady_clock::now()).count();
            if (left <= 0) {
                break;
            }
            while (sd_bus_process(bus, nullptr) > 0) {
            }
            sd_bus_wait(bus, static_cast<std::uint64_t>(left));
        }
    }
    sd_bus_flush_close_unref(bus);
    return running;
}

GnomeWindowSystem::GnomeWindowSystem(std::unique_ptr<WaylandDisplay> connection)
    : WaylandWindowSystem(std::move(connection)), m_focus(toplevels()) {
    if (sd_bus_open_user(&m_bus) < 0) {
        m_bus = nullptr;
        throw PlatformError("cannot reach the D-Bus session bus to hear from GNOME Shell");
    }
    // Listening first, then asking: no change falls between the two.
    sd_bus_match_signal(m_bus, &m_focusSlot, nullptr, objectPath, interfaceName, "FocusChanged",
                        &GnomeEvents::focusChanged, this);
    sd_bus_match_signal(m_bus, &m_closedSlot, nullptr, objectPath, interfaceName, "WindowClosed",
                        &GnomeEvents::windowClosed, this);
    // The extension's end (the shell's, usually) wakes a front end that waits on the bus.
    sd_bus_match_signal(m_bus, &m_ownerSlot, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                        "NameOwnerChanged", &GnomeEvents::wake, this);
    sd_bus_error error{}; // SD_BUS_ERROR_NULL is a C compound literal
    sd_bus_message* reply = nullptr;
    FocusList::Focus focus;
    const bool answered =
        sd_bus_call_method(m_bus, busName, objectPath, interfaceName, "GetFocused", &error, &reply, "") >= 0 &&
        readFocus(reply, focus);
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    if (!answered) {
        sd_bus_flush_close_unref(m_bus);
        m_bus = nullptr;
        throw PlatformError("GNOME Shell's Dwellmark extension does not answer on the session bus");
    }
    m_focus.focusChanged(focus);
}

GnomeWindowSystem::~GnomeWindowSystem() {
    sd_bus_slot_unref(m_focusSlot);
    sd_bus_slot_unref(m_closedSlot);
    sd_bus_slot_unref(m_ownerSlot);
    if (m_bus != nullptr) {
        sd_bus_flush_close_unref(m_bus);
    }
}

std::uint64_t GnomeWindowSystem::beginTick() {
    // The Wayland connection tells when the shell is gone.
    WaylandWindowSystem::beginTick();
    processSessionBus(m_bus);
    return 0;
}

int GnomeWindowSystem::changeDescriptor() const {
    return sd_bus_get_fd(m_bus);
}

bool GnomeWindowSystem::hasQueuedChanges() {
    // Every bus message read is handled in beginTick, and nothing waits for a
    // reply after the start: what is queued is only Wayland's.
    return WaylandWindowSystem::hasQueuedChanges();
}

} // namespace dwellmark::platform::wayland
