#pragma once

namespace dwellmark::platform::x11 {

/// Called once the connection to the X server is found broken, by the backend
/// or by the toolkit's own connection: writes the one line that tells the user
/// and ends the process with status 1 at once. Never returns: the tick that
/// found the broken connection runs inside the event loop, where an exception
/// must not travel.
[[noreturn]] void connectionLost();

} // namespace dwellmark::platform::x11
