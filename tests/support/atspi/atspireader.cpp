// Reads a program's tables the way a screen reader does: over AT-SPI, the accessibility bus.
#include "atspireader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <systemd/sd-bus.h>

namespace dwellmark::testing {

namespace {

constexpr const char* accessibleInterface = "org.a11y.atspi.Accessible";
constexpr const char* tableInterface = "org.a11y.atspi.Table";
// Deeper than any window's tree of widgets; a bound against a tree that loops.
constexpr int deepest = 32;

struct ObjectRef {
    std::string bus;
    std::string path;
};

/// A method's answer, released when it goes.
struct Reply {
    Reply() = default;
    ~Reply() { sd_bus_message_unref(message); }
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;

    sd_bus_message* message = nullptr;
};

sd_bus* connectTo(const std::string& address) {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0 || sd_bus_set_address(bus, address.c_str()) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
        sd_bus_start(bus) < 0) {
        sd_bus_flush_close_unref(bus); // also when there is no bus
        return nullptr;
    }
    return bus;
}

template <class... Arguments>
bool call(sd_bus* bus, const ObjectRef& object, const char* interface, const char* member, Reply& reply,
          const char* types, Arguments... arguments) {
    sd_bus_error error{}; // SD_BUS_ERROR_NULL is a C compound literal
    const int result = sd_bus_call_method(bus, object.bus.c_str(), object.path.c_str(), interface, member, &error,
                                          &reply.message, types, arguments...);
    sd_bus_error_free(&error);
    return result >= 0;
}

std::optional<ObjectRef> readRef(sd_bus_message* message) {
    const char* bus = nullptr;
    const char* path = nullptr;
    return sd_bus_message_read(message, "(so)", &bus, &path) > 0 ? std::optional(ObjectRef{bus, path}) : std::nullopt;
}

std::optional<std::vector<ObjectRef>> children(sd_bus* bus, const ObjectRef& object) {
    Reply reply;
    if (!call(bus, object, accessibleInterface, "GetChildren", reply, "") ||
        sd_bus_message_enter_container(reply.message, 'a', "(so)") < 0) {
        return std::nullopt;
    }
    std::vector<ObjectRef> found;
    while (const auto child = readRef(reply.message)) {
        found.push_back(*child);
    }
    return found;
}

std::optional<std::string> name(sd_bus* bus, const ObjectRef& object) {
    sd_bus_error error{};
    char* text = nullptr;
    const int result = sd_bus_get_property_string(bus, object.bus.c_str(), object.path.c_str(), accessibleInterface,
                                                  "Name", &error, &text);
    sd_bus_error_free(&error);
    const std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    return result < 0 ? std::nullopt : std::optional<std::string>(text);
}

std::optional<std::int32_t> tableCount(sd_bus* bus, const ObjectRef& table, const char* property) {
    sd_bus_error error{};
    std::int32_t count = 0;
    const int result = sd_bus_get_property_trivial(bus, table.bus.c_str(), table.path.c_str(), tableInterface, property,
                                                   &error, 'i', &count);
    sd_bus_error_free(&error);
    return result < 0 ? std::nullopt : std::optional<std::int32_t>(count);
}

std::optional<bool> offersTable(sd_bus* bus, const ObjectRef& object) {
    Reply reply;
    char** interfaces = nullptr;
    if (!call(bus, object, accessibleInterface, "GetInterfaces", reply, "") ||
        sd_bus_message_read_strv(reply.message, &interfaces) < 0) {
        return std::nullopt;
    }
    bool found = false;
    for (char** each = interfaces; each != nullptr && *each != nullptr; ++each) {
        found = found || std::string(*each) == tableInterface;
        std::free(*each);
    }
    std::free(static_cast<void*>(interfaces));
    return found;
}

// The name of the cell at the row and column, as a screen reader speaks it.
std::optional<std::string> cellName(sd_bus* bus, const ObjectRef& table, std::int32_t row, std::int32_t column) {
    Reply reply;
    const auto cell = call(bus, table, tableInterface, "GetAccessibleAt", reply, "ii", row, column)
                          ? readRef(reply.message)
                          : std::nullopt;
    return cell ? name(bus, *cell) : std::nullopt;
}

std::optional<AccessibleTable> readTable(sd_bus* bus, const ObjectRef& object) {
    const auto rows = tableCount(bus, object, "NRows");
    const auto columns = tableCount(bus, object, "NColumns");
    if (!rows || !columns) {
        return std::nullopt;
    }
    AccessibleTable table;
    // Qt names no object for a header, but gives its text as the column's description.
    for (std::int32_t column = 0; column < *columns; ++column) {
        Reply reply;
        const char* header = nullptr;
        if (!call(bus, object, tableInterface, "GetColumnDescription", reply, "i", column) ||
            sd_bus_message_read(reply.message, "s", &header) <= 0) {
            return std::nullopt;
        }
        table.headers.emplace_back(header);
    }
    for (std::int32_t row = 0; row < *rows; ++row) {
        std::vector<std::string> cells;
        for (std::int32_t column = 0; column < *columns; ++column) {
            const auto cell = cellName(bus, object, row, column);
            if (!cell) {
                return std::nullopt;
            }
            cells.push_back(*cell);
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

// Adds the tables in the subtree of the object, depth first; false when the
// tree changed under the walk. A table's children are its cells: not entered.
bool collectTables(sd_bus* bus, const ObjectRef& object, int depth, std::vector<AccessibleTable>& into) {
    const auto isTable = offersTable(bus, object);
    if (!isTable) {
        return false;
    }
    if (*isTable) {
        auto table = readTable(bus, object);
        if (table) {
            into.push_back(std::move(*table));
        }
        return table.has_value();
    }
    if (depth >= deepest) {
        return true;
    }
    const auto below = children(bus, object);
    if (!below) {
        return false;
    }
    return std::all_of(below->begin(), below->end(),
                       [&](const ObjectRef& child) { return collectTables(bus, child, depth + 1, into); });
}

} // namespace

AtspiReader::AtspiReader(const std::string& accessibilityBusAddress) : m_bus(connectTo(accessibilityBusAddress)) {}

AtspiReader::~AtspiReader() {
    sd_bus_flush_close_unref(m_bus); // also when there is no bus
}

std::optional<AccessibleApplication> AtspiReader::application(pid_t pid) {
    if (m_bus == nullptr) {
        return std::nullopt;
    }
    // The registry lists the root of every application that has embedded itself.
    const auto applications = children(m_bus, {"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"});
    if (!applications) {
        return std::nullopt;
    }
    for (const ObjectRef& root : *applications) {
        sd_bus_creds* creds = nullptr;
        pid_t owner = 0;
        const bool known = sd_bus_get_name_creds(m_bus, root.bus.c_str(), SD_BUS_CREDS_PID, &creds) >= 0 &&
                           sd_bus_creds_get_pid(creds, &owner) >= 0;
        sd_bus_creds_unref(creds);
        if (!known || owner != pid) {
            continue;
        }
        AccessibleApplication application;
        const auto applicationName = name(m_bus, root);
        if (!applicationName || !collectTables(m_bus, root, 0, application.tables)) {
            return std::nullopt;
        }
        application.name = *applicationName;
        return application;
    }
    return std::nullopt;
}

std::optional<std::string> AtspiReader::accessibilityBusAddress(const std::string& sessionBusAddress) {
    sd_bus* bus = connectTo(sessionBusAddress);
    if (bus == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> address;
    sd_bus_message* question = nullptr;
    Reply reply;
    sd_bus_error error{};
    const char* text = nullptr;
    // Without auto-start: the session bus would start a launcher of its own.
    if (sd_bus_message_new_method_call(bus, &question, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress") >=
            0 &&
        sd_bus_message_set_auto_start(question, 0) >= 0 && sd_bus_call(bus, question, 0, &error, &reply.message) >= 0 &&
        sd_bus_message_read(reply.message, "s", &text) > 0 && text != nullptr && *text != '\0') {
        address = text;
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(question);
    sd_bus_flush_close_unref(bus);
    return address;
}

} // namespace dwellmark::testing
