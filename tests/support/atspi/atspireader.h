// Reads a program's tables the way a screen reader does: over AT-SPI, the accessibility bus.
#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct sd_bus;

namespace dwellmark::testing {

/// One table as assistive technologies see it: its column headers and the
/// name of every cell, row by row.
struct AccessibleTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

/// What a running program shows on the accessibility bus: its name and each
/// object that offers the Table interface, in the order of its tree.
struct AccessibleApplication {
    std::string name;
    std::vector<AccessibleTable> tables;
};

/// A client of the accessibility bus, reading from outside the program what
/// its widgets show.
class AtspiReader final {
public:
    /// Connects to the accessibility bus at the address; check connected().
    explicit AtspiReader(const std::string& accessibilityBusAddress);
    ~AtspiReader();

    AtspiReader(const AtspiReader&) = delete;
    AtspiReader& operator=(const AtspiReader&) = delete;

    bool connected() const { return m_bus != nullptr; }

    /// The application that the process has registered with the registry,
    /// read whole; nothing while it has not registered, or when an object
    /// went away during the read (the caller reads again).
    std::optional<AccessibleApplication> application(pid_t pid);

    /// The address of the accessibility bus, as the bus launcher on the
    /// session bus at the address gives it; nothing while no launcher runs
    /// there (none is started for the question).
    static std::optional<std::string> accessibilityBusAddress(const std::string& sessionBusAddress);

private:
    sd_bus* m_bus = nullptr;
};

} // namespace dwellmark::testing
