#include "platform/x11/lostconnection.h"

#include <cstdio>
#include <cstdlib>

namespace dwellmark::platform::x11 {

void connectionLost() {
    std::fputs("dwellmark: lost the connection to the X server\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace dwellmark::platform::x11
