// The error a backend raises when the desktop cannot be reached.
#pragma once

#include <stdexcept>

namespace dwellmark::platform {

/// Raised when the desktop cannot be reached at all (no display, for example).
/// Its message is one line that tells the user what is wrong.
class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace dwellmark::platform
