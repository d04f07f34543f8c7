// UTF-8 text of the tracking core as the UTF-16 text of the W calls, and back.
#pragma once

#include <string>
#include <string_view>

namespace dwellmark::ui::win32 {

/// UTF-8 as UTF-16; invalid sequences become U+FFFD.
std::wstring widen(std::string_view text);

/// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string narrow(std::wstring_view text);

} // namespace dwellmark::ui::win32
