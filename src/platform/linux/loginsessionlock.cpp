// Whether the session is locked, as the login manager (and the desktop's screen saver) tell it over D-Bus.
#include "platform/linux/loginsessionlock.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <systemd/sd-bus.h>

namespace dwellmark::platform::linux {

namespace {

constexpr const char* login1 = "org.freedesktop.login1";
constexpr const char* sessionInterface = "org.freedesktop.login1.Session";
constexpr const char* screenSaver = "org.freedesktop.ScreenSaver";
constexpr const char* busName = "org.freedesktop.DBus";
constexpr const char* busPath = "/org/freedesktop/DBus";
// A screen saver that does not answer at once must not hold up the start.
constexpr std::uint64_t screenSaverWait = 1'000'000;

/// The object path of the session the program runs in. "auto" is the
/// caller's session or, for a program started outside one (from the desktop's
/// application launcher, as a service of the user's), the user's graphical one.
std::string findSession(sd_bus* bus, std::string& problem) {
    sd_bus_error error{}; // SD_BUS_ERROR_NULL is a C compound literal
    char* id = nullptr;
    if (sd_bus_get_property_string(bus, login1, "/org/freedesktop/login1/session/auto", sessionInterface, "Id", &error,
                                   &id) < 0) {
        problem = std::string("the login manager names no session of this program (") +
                  (error.message != nullptr ? error.message : "no answer") + ")";
        sd_bus_error_free(&error);
        return {};
    }
    sd_bus_message* reply = nullptr;
    std::string path;
    const char* found = nullptr;
    if (sd_bus_call_method(bus, login1, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "GetSession",
                           &error, &reply, "s", id) >= 0 &&
        sd_bus_message_read(reply, "o", &found) >= 0) {
        path = found;
    } else {
        problem = std::string("the login manager does not find session ") + id;
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    std::free(id);
    return path;
}

} // namespace

struct LoginSessionLock::Signals {
    static int sessionChanged(sd_bus_message* message, void* self, sd_bus_error* error);
    static int screenSaverChanged(sd_bus_message* message, void* self, sd_bus_error* error);
    static int screenSaverOwnerChanged(sd_bus_message* message, void* self, sd_bus_error* error);
};

std::unique_ptr<LoginSessionLock> LoginSessionLock::open(ChangeFeed& alongside, std::string& problem) {
    problem.clear();
    sd_bus* system = nullptr;
    if (sd_bus_open_system(&system) < 0) {
        // No system bus (a container, a minimal system): nothing to be told.
        return nullptr;
    }
    std::string path = findSession(system, problem);
    if (path.empty()) {
        sd_bus_flush_close_unref(system);
        problem = "a locked screen is not seen, its time is counted: " + problem;
        return nullptr;
    }
    std::unique_ptr<LoginSessionLock> lock(new LoginSessionLock(alongside, system, std::move(path)));
    if (lock->m_sessionMatch == nullptr) {
        problem = "a locked screen is not seen, its time is counted: the system bus takes no match";
        return nullptr;
    }
    lock->followScreenSaver();
    return lock;
}

LoginSessionLock::LoginSessionLock(ChangeFeed& alongside, sd_bus* system, std::string sessionPath)
    : ForwardingChangeFeed(alongside), m_system(system), m_sessionPath(std::move(sessionPath)) {
    if (sd_bus_match_signal(m_system, &m_sessionMatch, nullptr, m_sessionPath.c_str(),
                            "org.freedesktop.DBus.Properties", "PropertiesChanged", &Signals::sessionChanged,
                            this) < 0) {
        m_sessionMatch = nullptr;
    }
    readLockedHint();
}

LoginSessionLock::~LoginSessionLock() {
    closeSystemBus();
    closeSessionBus();
}

void LoginSessionLock::closeSystemBus() {
    m_sessionMatch = sd_bus_slot_unref(m_sessionMatch);
    m_system = sd_bus_flush_close_unref(m_system);
    m_sessionLocked = false;
    m_hintChanged = false;
}

void LoginSessionLock::closeSessionBus() {
    m_screenSaverMatch = sd_bus_slot_unref(m_screenSaverMatch);
    m_screenSaverOwnerMatch = sd_bus_slot_unref(m_screenSaverOwnerMatch);
    m_session = sd_bus_flush_close_unref(m_session);
    m_screenSaverOwner.clear();
    m_screenSaverActive = false;
}

void LoginSessionLock::followScreenSaver() {
    if (sd_bus_open_user(&m_session) < 0) {
        m_session = nullptr;
        return;
    }
    // The daemon passes on only the name owner's signals; the owner is
    // followed too, so that one that ends, however it ends, no longer locks,
    // and a signal sent to this program alone by another is not believed.
    const std::string ownerChanges = std::string("type='signal',sender='") + busName + "',path='" + busPath +
                                     "',interface='" + busName + "',member='NameOwnerChanged',arg0='" + screenSaver +
                                     "'";
    if (sd_bus_add_match(m_session, &m_screenSaverOwnerMatch, ownerChanges.c_str(), &Signals::screenSaverOwnerChanged,
                         this) < 0 ||
        sd_bus_match_signal(m_session, &m_screenSaverMatch, screenSaver, nullptr, screenSaver, "ActiveChanged",
                            &Signals::screenSaverChanged, this) < 0) {
        closeSessionBus();
        return;
    }
    sd_bus_message* ownerReply = nullptr;
    const char* owner = nullptr;
    if (sd_bus_call_method(m_session, busName, busPath, busName, "GetNameOwner", nullptr, &ownerReply, "s",
                           screenSaver) >= 0 &&
        sd_bus_message_read(ownerReply, "s", &owner) >= 0) {
        m_screenSaverOwner = owner;
    }
    sd_bus_message_unref(ownerReply);
    if (m_screenSaverOwner.empty()) {
        return;
    }
    // Whether it runs now, asked of that owner.
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    int active = 0;
    if (sd_bus_message_new_method_call(m_session, &call, m_screenSaverOwner.c_str(), "/org/freedesktop/ScreenSaver",
                                       screenSaver, "GetActive") >= 0 &&
        sd_bus_message_set_auto_start(call, 0) >= 0 &&
        sd_bus_call(m_session, call, screenSaverWait, nullptr, &reply) >= 0 &&
        sd_bus_message_read(reply, "b", &active) >= 0) {
        m_screenSaverActive = active != 0;
    }
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
}

void LoginSessionLock::readLockedHint() {
    int locked = 0;
    if (sd_bus_get_property_trivial(m_system, login1, m_sessionPath.c_str(), sessionInterface, "LockedHint", nullptr,
                                    'b', &locked) >= 0) {
        m_sessionLocked = locked != 0;
    }
}

bool LoginSessionLock::processAll(sd_bus* bus) {
    if (bus == nullptr) {
        return false;
    }
    bool any = false;
    int processed = 0;
    while ((processed = sd_bus_process(bus, nullptr)) > 0) {
        any = true;
    }
    if (processed < 0) {
        // A bus that broke tells nothing more: what it said no longer holds,
        // and the program goes on without it.
        if (m_buses) {
            m_buses->remove(sd_bus_get_fd(bus));
        }
        if (bus == m_system) {
            closeSystemBus();
            std::fputs("dwellmark: the system bus is gone: a locked screen is no longer seen, its time is counted\n",
                       stderr);
        } else {
            closeSessionBus();
            std::fputs("dwellmark: the session bus is gone: a screen saver is no longer heard, its time is counted\n",
                       stderr);
        }
        return true;
    }
    return any;
}

bool LoginSessionLock::readChanges() {
    // Each reads what is its own, whatever the other found.
    const bool backend = ForwardingChangeFeed::readChanges();
    // Only the signals matched for the lock come unasked, so a message is
    // worth a tick; beginTick() reads the new hint then.
    const bool system = processAll(m_system);
    const bool session = processAll(m_session);
    m_version += system || session ? 1 : 0;
    return backend || system || session || m_hintChanged;
}

std::uint64_t LoginSessionLock::beginTick() {
    bool news = processAll(m_system);
    // The new hint is read once, however many properties changed; the reply
    // may bring more messages, which are handled before the tick goes on.
    while (m_hintChanged && m_system != nullptr && sd_bus_is_open(m_system) > 0) {
        m_hintChanged = false;
        news = true;
        readLockedHint();
        processAll(m_system);
    }
    news = processAll(m_session) || news;
    m_version += news ? 1 : 0;
    return m_version;
}

int LoginSessionLock::changeDescriptor() const {
    const int alongside = ForwardingChangeFeed::changeDescriptor();
    if (alongside < 0) {
        return -1;
    }
    if (!m_buses) {
        m_buses.emplace();
        if (m_system != nullptr) {
            m_buses->add(sd_bus_get_fd(m_system));
        }
        if (m_session != nullptr) {
            m_buses->add(sd_bus_get_fd(m_session));
        }
    }
    if (alongside != m_alongside) {
        m_buses->remove(m_alongside);
        m_buses->add(alongside);
        m_alongside = alongside;
    }
    return m_buses->descriptor();
}

int LoginSessionLock::Signals::sessionChanged(sd_bus_message* message, void* self, sd_bus_error* error) {
    static_cast<void>(error);
    const char* interface = nullptr;
    if (sd_bus_message_read(message, "s", &interface) >= 0 && std::string_view(interface) == sessionInterface) {
        static_cast<LoginSessionLock*>(self)->m_hintChanged = true;
    }
    return 0;
}

int LoginSessionLock::Signals::screenSaverChanged(sd_bus_message* message, void* self, sd_bus_error* error) {
    static_cast<void>(error);
    auto* lock = static_cast<LoginSessionLock*>(self);
    const char* sender = sd_bus_message_get_sender(message);
    const char* path = sd_bus_message_get_path(message);
    // KDE's screen saver says it at both of its paths.
    if (sender == nullptr || lock->m_screenSaverOwner != sender || path == nullptr ||
        (std::string_view(path) != "/org/freedesktop/ScreenSaver" && std::string_view(path) != "/ScreenSaver")) {
        return 0;
    }
    int active = 0;
    if (sd_bus_message_read(message, "b", &active) >= 0) {
        lock->m_screenSaverActive = active != 0;
    }
    return 0;
}

int LoginSessionLock::Signals::screenSaverOwnerChanged(sd_bus_message* message, void* self, sd_bus_error* error) {
    static_cast<void>(error);
    auto* lock = static_cast<LoginSessionLock*>(self);
    const char* name = nullptr;
    const char* before = nullptr;
    const char* after = nullptr;
    if (sd_bus_message_read(message, "sss", &name, &before, &after) < 0 || std::string_view(name) != screenSaver ||
        lock->m_screenSaverOwner == after) {
        return 0;
    }
    // Gone, or another program's now: it has not said that it runs.
    lock->m_screenSaverOwner = after;
    lock->m_screenSaverActive = false;
    return 0;
}

} // namespace dwellmark::platform::linux
