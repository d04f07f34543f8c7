// Window titles in the forms X11 and Wayland give them, made into well-formed UTF-8.
#include "platform/linux/titletext.h"

#include <algorithm>
#include <iterator>

namespace dwellmark::platform::linux {

namespace {

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

/// The lead bytes of well-formed UTF-8 sequences, and the range of the
/// continuation byte that follows each.
struct LeadByte {
    unsigned char first;
    unsigned char last;
    std::size_t continuations;
    unsigned char low;
    unsigned char high;
};
constexpr LeadByte leadBytes[] = {
    {0xC2U, 0xDFU, 1, 0x80U, 0xBFU}, {0xE0U, 0xE0U, 2, 0xA0U, 0xBFU}, {0xE1U, 0xECU, 2, 0x80U, 0xBFU},
    {0xEDU, 0xEDU, 2, 0x80U, 0x9FU}, {0xEEU, 0xEFU, 2, 0x80U, 0xBFU}, {0xF0U, 0xF0U, 3, 0x90U, 0xBFU},
    {0xF1U, 0xF3U, 3, 0x80U, 0xBFU}, {0xF4U, 0xF4U, 3, 0x80U, 0x8FU},
};

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

} // namespace

std::string_view untilNul(std::string_view bytes) {
    const auto nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

std::string repairUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80U) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        // The well-formed sequences: the lead byte fixes how many continuation
        // bytes follow and narrows the range of the first one (no overlong
        // forms, no surrogates, nothing above U+10FFFF).
        const LeadByte* form = std::find_if(std::begin(leadBytes), std::end(leadBytes),
                                            [&](const LeadByte& f) { return lead >= f.first && lead <= f.last; });
        if (form == std::end(leadBytes)) {
            out += replacementCharacter;
            ++i;
            continue;
        }
        const std::size_t continuations = form->continuations;
        unsigned char low = form->low;
        unsigned char high = form->high;
        std::size_t end = i + 1;
        for (std::size_t k = 0; k < continuations; ++k) {
            if (end >= bytes.size()) {
                break;
            }
            const auto next = static_cast<unsigned char>(bytes[end]);
            if (next < low || next > high) {
                break;
            }
            low = 0x80U;
            high = 0xBFU;
            ++end;
        }
        if (end - i == continuations + 1) {
            out.append(bytes.substr(i, end - i));
        } else {
            out += replacementCharacter;
        }
        i = end;
    }
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80U) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0U | (byte >> 6U)));
            out.push_back(static_cast<char>(0x80U | (byte & 0x3FU)));
        }
    }
    return out;
}

std::string cutToCharacters(std::string text, std::size_t characters) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuation(static_cast<unsigned char>(text[i]))) {
            continue;
        }
        if (seen == characters) {
            text.resize(i);
            break;
        }
        ++seen;
    }
    return text;
}

std::string titleFromUtf8(std::string_view bytes) {
    return cutToCharacters(repairUtf8(untilNul(bytes)), maxTitleCharacters);
}

std::string titleFromLatin1(std::string_view bytes) {
    return cutToCharacters(latin1ToUtf8(untilNul(bytes)), maxTitleCharacters);
}

} // namespace dwellmark::platform::linux
