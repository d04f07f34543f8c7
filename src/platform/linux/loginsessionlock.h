// Whether the session is locked, as the login manager (and the desktop's screen saver) tell it over D-Bus.
#pragma once

#include "platform/linux/descriptorset.h"
#include "tracking/forwardingchangefeed.h"
#include "tracking/sessionlock.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct sd_bus;
struct sd_bus_message;
struct sd_bus_slot;

namespace dwellmark::platform::linux {

/// The lock of the session the program runs in: logind's LockedHint of that
/// session on the system bus, which GNOME's and KDE Plasma's lock screens
/// keep, and, beside it, org.freedesktop.ScreenSaver's ActiveChanged on the
/// session bus where the desktop offers it. Either one locked is locked. Its
/// feed is the backend's, both buses joined in: one epoll set for all three.
class LoginSessionLock final : public SessionLock, private ForwardingChangeFeed {
public:
    /// Follows the session's lock beside the backend's feed alongside (which
    /// outlives it); nullptr when the login manager cannot tell it. problem is
    /// then one line for standard error, or empty when there is no system bus.
    static std::unique_ptr<LoginSessionLock> open(ChangeFeed& alongside, std::string& problem);
    ~LoginSessionLock() override;

    LoginSessionLock(const LoginSessionLock&) = delete;
    LoginSessionLock& operator=(const LoginSessionLock&) = delete;

    /// Grows with every message that comes.
    std::uint64_t beginTick() override;
    bool isLocked() override { return m_sessionLocked || m_screenSaverActive; }
    ChangeFeed& changes() override { return *this; }

private:
    LoginSessionLock(ChangeFeed& alongside, sd_bus* system, std::string sessionPath);
    /// -1 when the backend has none: the front end then looks every millisecond anyway.
    int changeDescriptor() const override;
    /// The backend's news, and any message come on either bus.
    bool readChanges() override;
    void followScreenSaver();
    void readLockedHint();
    /// Handles every message that has come; whether there was one. A bus
    /// that broke is closed, what it told is forgotten, and a line on
    /// standard error says so.
    bool processAll(sd_bus* bus);
    void closeSystemBus();
    void closeSessionBus();
    /// The bus's callbacks, which need sd-bus's own types.
    struct Signals;
    friend struct Signals;

    sd_bus* m_system = nullptr;
    sd_bus* m_session = nullptr;
    sd_bus_slot* m_sessionMatch = nullptr;
    sd_bus_slot* m_screenSaverMatch = nullptr;
    sd_bus_slot* m_screenSaverOwnerMatch = nullptr;
    /// The unique name that owns org.freedesktop.ScreenSaver; empty when none does.
    std::string m_screenSaverOwner;
    std::string m_sessionPath;
    bool m_sessionLocked = false;
    bool m_hintChanged = false;
    bool m_screenSaverActive = false;
    std::uint64_t m_version = 1;
    /// Both buses and the backend's descriptor, made when first asked for.
    mutable std::optional<DescriptorSet> m_buses;
    mutable int m_alongside = -1;
};

} // namespace dwellmark::platform::linux
