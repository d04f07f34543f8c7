#pragma once

#include <cstdint>

namespace dwellmark {

/// A top-level window as the platform names it: a signed 32-bit identifier, 0 for none.
using WindowHandle = std::int32_t;

} // namespace dwellmark
