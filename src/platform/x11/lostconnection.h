#pragma once

namespace dwellmark::platform::x11 {

/// Called once the connection to the X server is found broken. The program
/// cannot go on without it; a handler that returns is followed by an exit
/// with status 1, so it must not expect to come back.
using LostConnectionHandler = void (*)();

/// Replaces the handler; nullptr restores the default, which writes one line
/// to standard error and ends the process with status 1 at once.
void setLostConnectionHandler(LostConnectionHandler handler);

/// Runs the handler. Never returns: the tick that found the broken connection
/// runs inside the event loop, where an exception must not travel.
[[noreturn]] void connectionLost();

} // namespace dwellmark::platform::x11
