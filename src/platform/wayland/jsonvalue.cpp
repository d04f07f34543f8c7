// A small JSON reader, for the replies of sway's IPC.
#include "jsonvalue.h"

#include <cstdlib>

namespace dwellmark::platform::wayland {

/// Reads one value from the front of a text, recursive descent.
class JsonReader final {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    std::optional<JsonValue> readWhole() {
        JsonValue value;
        if (!readValue(value, 0)) {
            return std::nullopt;
        }
        skipSpace();
        if (m_at != m_text.size()) {
            return std::nullopt;
        }
        return value;
    }

private:
    // sway's trees nest a few levels per output and workspace; far deeper is
    // not a reply of sway's.
    static constexpr int maxDepth = 200;

    void skipSpace() {
        while (m_at < m_text.size() &&
               (m_text[m_at] == ' ' || m_text[m_at] == '\n' || m_text[m_at] == '\r' || m_text[m_at] == '\t')) {
            ++m_at;
        }
    }

    bool take(std::string_view word) {
        if (m_text.substr(m_at, word.size()) != word) {
            return false;
        }
        m_at += word.size();
        return true;
    }

    bool readValue(JsonValue& value, int depth) {
        if (depth > maxDepth) {
            return false;
        }
        skipSpace();
        if (m_at >= m_text.size()) {
            return false;
        }
        switch (m_text[m_at]) {
        case '{':
            return readObject(value, depth);
        case '[':
            return readArray(value, depth);
        case '"':
            value.m_kind = JsonValue::Kind::String;
            return readString(value.m_string);
        case 't':
            value.m_kind = JsonValue::Kind::Boolean;
            value.m_boolean = true;
            return take("true");
        case 'f':
            value.m_kind = JsonValue::Kind::Boolean;
            return take("false");
        case 'n':
            return take("null");
        default:
            return readNumber(value);
        }
    }

    bool readObject(JsonValue& value, int depth) {
        value.m_kind = JsonValue::Kind::Object;
        ++m_at;
        skipSpace();
        if (take("}")) {
            return true;
        }
        while (true) {
            skipSpace();
            std::string name;
            JsonValue member;
            if (m_at >= m_text.size() || m_text[m_at] != '"' || !readString(name)) {
                return false;
            }
            skipSpace();
            if (!take(":") || !readValue(member, depth + 1)) {
                return false;
            }
            value.m_members.emplace_back(std::move(name), std::move(member));
            skipSpace();
            if (take("}")) {
                return true;
            }
            if (!take(",")) {
                return false;
            }
        }
    }

    bool readArray(JsonValue& value, int depth) {
        value.m_kind = JsonValue::Kind::Array;
        ++m_at;
        skipSpace();
        if (take("]")) {
            return true;
        }
        while (true) {
            JsonValue item;
            if (!readValue(item, depth + 1)) {
                return false;
            }
            value.m_items.push_back(std::move(item));
            skipSpace();
            if (take("]")) {
                return true;
            }
            if (!take(",")) {
                return false;
            }
        }
    }

    bool readNumber(JsonValue& value) {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && std::string_view("+-0123456789.eE").find(m_text[m_at]) != std::string_view::npos) {
            ++m_at;
        }
        if (m_at == start) {
            return false;
        }
        const std::string digits(m_text.substr(start, m_at - start));
        char* end = nullptr;
        value.m_kind = JsonValue::Kind::Number;
        value.m_number = std::strtod(digits.c_str(), &end);
        return end == digits.c_str() + digits.size();
    }

    bool readHex(unsigned& code) {
        if (m_at + 4 > m_text.size()) {
            return false;
        }
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_at++];
            code <<= 4U;
            if (c >= '0' && c <= '9') {
                code |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                code |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                code |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return false;
            }
        }
        return true;
    }

    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6U));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12U));
            out += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18U));
            out += static_cast<char>(0x80 | ((code >> 12U) & 0x3FU));
            out += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        }
    }

    bool readString(std::string& out) {
        ++m_at;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"') {
                return true;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size()) {
                return false;
            }
            const char escaped = m_text[m_at++];
            switch (escaped) {
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned code = 0;
                if (!readHex(code)) {
                    return false;
                }
                // A pair of surrogates names one character beyond the first plane.
                if (code >= 0xD800 && code < 0xDC00 && take("\\u")) {
                    unsigned low = 0;
                    if (!readHex(low)) {
                        return false;
                    }
                    code = low >= 0xDC00 && low < 0xE000 ? 0x10000 + ((code - 0xD800) << 10U) + (low - 0xDC00) : 0xFFFD;
                } else if (code >= 0xD800 && code < 0xE000) {
                    code = 0xFFFD;
                }
                appendUtf8(out, code);
                break;
            }
            default: out += escaped; break;
            }
        }
        return false;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

std::optional<JsonValue> JsonValue::parse(std::string_view text) {
    return JsonReader(text).readWhole();
}

const JsonValue* JsonValue::member(std::string_view name) const {
    for (const auto& [key, value] : m_members) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

} // namespace dwellmark::platform::wayland
