#pragma once

namespace dwellmark::testing {

/// Whether the test program was asked only to list its tests.
bool onlyListingTests(int argc, char** argv);

/// Starts the test program again under tests/support/with-display (a private
/// X server with a window manager), unless it runs there already or only lists
/// its tests. Returns only when the program is to go on here; a failure to
/// start the display ends the process with status 1.
void runOnTestDisplay(const char* withDisplay, int argc, char** argv);

} // namespace dwellmark::testing
