// Window titles in the forms X11 and Wayland give them, made into well-formed UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dwellmark::platform::linux {

/// The longest title handed on, in characters (Unicode code points).
inline constexpr std::size_t maxTitleCharacters = 4096;

/// The bytes before the first NUL: X text properties may hold several
/// NUL-separated strings, of which a title is the first.
std::string_view untilNul(std::string_view bytes);

/// The bytes as valid UTF-8: each ill-formed sequence (its maximal part, as
/// Unicode recommends) becomes one U+FFFD replacement character.
std::string repairUtf8(std::string_view bytes);

/// ISO 8859-1 bytes as UTF-8.
std::string latin1ToUtf8(std::string_view bytes);

/// Valid UTF-8 cut after at most the given number of characters.
std::string cutToCharacters(std::string text, std::size_t characters);

/// A title from a property of UTF-8 bytes: first string, repaired, cut to length.
std::string titleFromUtf8(std::string_view bytes);

/// A title from a property of Latin-1 bytes (type STRING): first string, cut to length.
std::string titleFromLatin1(std::string_view bytes);

} // namespace dwellmark::platform::linux
