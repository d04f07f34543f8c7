// A private session bus with AT-SPI's bus launcher, so that a test can read a program's widgets from outside.
#pragma once

#include "childprocess.h"
#include "privatebus.h"
#include "scratchfolder.h"

#include <memory>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// Starts a session bus of the test's own and at-spi2-core's bus launcher on
/// it (which starts the accessibility bus and, on demand, the registry), in a
/// private runtime folder; stops them all and removes the folder when it
/// goes, whatever happened. Each runs in a process group of its own, so that
/// what they start ends with them.
class AccessibilityBus final {
public:
    /// Waits until the launcher names the accessibility bus; check ready().
    AccessibilityBus();
    ~AccessibilityBus();

    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    bool ready() const { return !m_accessibilityAddress.empty(); }

    /// The address of the accessibility bus, for an AtspiReader.
    const std::string& accessibilityAddress() const { return m_accessibilityAddress; }

    /// The environment entries for a Qt program that is to show itself on
    /// these buses: the session bus, accessibility on without a screen
    /// reader, and the private runtime folder.
    std::vector<std::string> clientEnvironment() const;

private:
    ScratchFolder m_folder{"dwellmark-a11y"};
    std::string m_accessibilityAddress;
    std::unique_ptr<PrivateBus> m_sessionBus;
    std::unique_ptr<ChildProcess> m_launcher;
};

} // namespace dwellmark::testing
