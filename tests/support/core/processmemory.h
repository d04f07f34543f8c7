// The memory of a process as the kernel counts it (Linux's /proc), for the tests and benchmarks that watch it.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace dwellmark::testing {

/// A field of the kernel's status of a process in KiB (VmRSS, VmHWM, ...), of
/// this process unless another's id is given; -1 when it cannot be read.
inline long statusKiB(std::string_view field, long processId = 0) {
    std::ifstream status("/proc/" + (processId != 0 ? std::to_string(processId) : std::string("self")) + "/status");
    const std::string prefix = std::string(field) + ":";
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::stol(line.substr(prefix.size()));
        }
    }
    return -1;
}

/// The resident memory of a process in KiB (VmRSS), of this process unless another's id is given.
inline long residentKiB(long processId = 0) {
    return statusKiB("VmRSS", processId);
}

} // namespace dwellmark::testing
