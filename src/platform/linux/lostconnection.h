#pragma once

#include <string_view>

namespace dwellmark::platform::linux {

/// Called once the connection to the display server is found broken. The
/// program cannot go on without it; a handler that returns is followed by an
/// exit with status 1, so it must not expect to come back.
using LostConnectionHandler = void (*)(std::string_view server);

/// Replaces the handler; nullptr restores the default, which writes one line
/// naming the server to standard error and ends the process with status 1 at once.
void setLostConnectionHandler(LostConnectionHandler handler);

/// Runs the handler for the named server ("the X server", "the Wayland
/// compositor") once per process: a second caller, on another thread, waits for
/// the first to end the process. Never returns: the tick that found the broken connection runs
/// inside the event loop, where an exception must not travel.
[[noreturn]] void connectionLost(std::string_view server);

} // namespace dwellmark::platform::linux
