#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct _XDisplay;

namespace dwellmark::platform::x11 {

/// Decodes text properties in the encodings only the X library knows
/// (COMPOUND_TEXT, the locale's own) into UTF-8. The X library needs a
/// connection of its own for that; it is opened on first use, since few
/// programs still name their windows this way.
class XlibTextDecoder final {
public:
    explicit XlibTextDecoder(std::string displayName);
    ~XlibTextDecoder();

    XlibTextDecoder(const XlibTextDecoder&) = delete;
    XlibTextDecoder& operator=(const XlibTextDecoder&) = delete;

    /// The first string of a property of 8-bit items with the given type
    /// (an atom), as UTF-8 (not yet checked); empty when it cannot be decoded.
    std::string toUtf8(std::string_view bytes, std::uint32_t encoding);

private:
    std::string m_displayName;
    _XDisplay* m_display = nullptr;
    bool m_unavailable = false;
};

} // namespace dwellmark::platform::x11
