// A small JSON reader, for the replies of sway's IPC.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dwellmark::platform::wayland {

/// One JSON value, read whole. Numbers are kept as double, which holds every
/// process number and window id exactly.
class JsonValue final {
public:
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    /// The value the text holds, or nothing when it is not valid JSON (or
    /// nests deeper than any reply does).
    static std::optional<JsonValue> parse(std::string_view text);

    Kind kind() const { return m_kind; }
    bool boolean() const { return m_kind == Kind::Boolean && m_boolean; }
    double number() const { return m_kind == Kind::Number ? m_number : 0.0; }
    /// The text of a string; empty for any other kind.
    const std::string& string() const { return m_string; }
    /// The items of an array; empty for any other kind.
    const std::vector<JsonValue>& items() const { return m_items; }
    /// An object's member of that name, nullptr when it has none (or is no object).
    const JsonValue* member(std::string_view name) const;

private:
    friend class JsonReader;

    Kind m_kind = Kind::Null;
    bool m_boolean = false;
    double m_number = 0.0;
    std::string m_string;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
};

} // namespace dwellmark::platform::wayland
