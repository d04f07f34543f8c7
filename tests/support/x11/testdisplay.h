// The private display a GoogleTest program of desktop tests runs its cases on.
#pragma once

#include "privatedisplay.h"

#include <memory>

namespace dwellmark::testing {

/// Starts a private display with a window manager and makes it this process's
/// display, unless GoogleTest (initialised already) was asked only to list the
/// tests: then there is nothing to start and the answer is empty.
std::unique_ptr<PrivateDisplay> startTestDisplay();

} // namespace dwellmark::testing
