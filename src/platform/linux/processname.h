#pragma once

#include <string>
#include <string_view>

namespace dwellmark::platform::linux {

/// The base name of the executable of a process on this machine, as UTF-8;
/// empty when the process is gone or its executable cannot be read (a process
/// of another user, for example).
std::string executableBaseName(long pid);

/// Whether a host name (from a window's WM_CLIENT_MACHINE) names this machine.
bool isThisHost(std::string_view hostName);

} // namespace dwellmark::platform::linux
