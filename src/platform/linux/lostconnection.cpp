#include "lostconnection.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace dwellmark::platform::linuxos {

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
    currentHandler(server);
    std::_Exit(1);
}

} // namespace dwellmark::platform::linuxos
