// Uses the backend that the session calls for, as the program does, for tests
// that must watch a whole process: it says "ready" and then ticks whenever the
// desktop may have changed, until the connection ends it.
#include "platform/platform.h"

#include <cstdio>
#include <poll.h>

int main() {
    try {
        auto windows = dwellmark::platform::createWindowSystem();
        std::puts("ready");
        std::fflush(stdout);
        while (true) {
            windows->beginTick();
            windows->isWindow(windows->foregroundWindow());
            if (!windows->hasQueuedChanges()) {
                pollfd change{windows->changeDescriptor(), POLLIN, 0};
                poll(&change, 1, 100);
            }
        }
    } catch (const dwellmark::platform::PlatformError& error) {
        std::fprintf(stderr, "dwellmark: %s\n", error.what());
        return 1;
    }
}
