// A private D-Bus bus of a test's own, so that nothing the test does reaches the user's session.
#pragma once

#include "childprocess.h"

#include <memory>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// A dbus-daemon with the session bus's configuration, listening at a socket
/// of the test's folder. It leads a process group of its own, which the
/// services it starts stay in; the group is ended and reaped when the object
/// goes, whatever happened.
class PrivateBus final {
public:
    /// Starts the daemon with the environment entries ("NAME=VALUE" set,
    /// "-NAME" removed) on top of the test's own, which the services it starts
    /// inherit; waits until it names its address (check ready()).
    explicit PrivateBus(const std::string& socketPath, const std::vector<std::string>& environment = {});
    ~PrivateBus();

    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool ready() const { return !m_address.empty(); }

    /// The address, as DBUS_SESSION_BUS_ADDRESS (or DBUS_SYSTEM_BUS_ADDRESS) names it.
    const std::string& address() const { return m_address; }

private:
    std::string m_address;
    std::unique_ptr<ChildProcess> m_daemon;
};

} // namespace dwellmark::testing
