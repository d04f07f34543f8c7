#pragma once

#include <cstdint>
#include <string>

namespace dwellmark {

/// Renders a whole number of seconds as "hh:mm:ss". Hours have at least two
/// digits and keep counting past 23 ("100:00:00"); a negative count is "-"
/// followed by the text of its absolute value.
std::string formatTime(std::int64_t pSeconds);

} // namespace dwellmark
