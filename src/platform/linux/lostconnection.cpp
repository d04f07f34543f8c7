// The one way a lost display connection ends the program.
#include "lostconnection.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace dwellmark::platform::linux {

namespace {

void reportAndExit(std::string_view server) {
    const std::string line = "dwellmark: lost the connection to " + std::string(server) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

LostConnectionHandler currentHandler = &reportAndExit;

} // namespace

void setLostConnectionHandler(LostConnectionHandler handler) {
    currentHandler = handler != nullptr ? handler : &reportAndExit;
}

void connectionLost(std::string_view server) {
    // Qt's own connection and the backend's see the server go at the same
    // moment, on different threads: only the first reports, and the others
    // wait for it to end the process, so the user reads one line.
    static std::atomic_flag reporting = ATOMIC_FLAG_INIT;
    if (reporting.test_and_set()) {
        for (;;) {
            ::pause();
        }
    }
    currentHandler(server);
    std::_Exit(1);
}

} // namespace dwellmark::platform::linux
