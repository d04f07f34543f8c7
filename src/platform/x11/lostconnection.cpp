#include "lostconnection.h"

#include <cstdio>
#include <cstdlib>

namespace dwellmark::platform::x11 {

namespace {

void reportAndExit() {
    std::fputs("dwellmark: lost the connection to the X server\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

LostConnectionHandler currentHandler = &reportAndExit;

} // namespace

void setLostConnectionHandler(LostConnectionHandler handler) {
    currentHandler = handler != nullptr ? handler : &reportAndExit;
}

void connectionLost() {
    currentHandler();
    std::_Exit(1);
}

} // namespace dwellmark::platform::x11
