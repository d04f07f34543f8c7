// Uses the X11 backend as the program does, for tests that must watch a whole
// process: it connects, says "ready", then starts a tick and asks for the
// foreground window every millisecond until the connection ends it.
#include "platform/platform.h"

#include <chrono>
#include <cstdio>
#include <thread>

int main() {
    try {
        auto windows = dwellmark::platform::createWindowSystem();
        std::puts("ready");
        std::fflush(stdout);
        while (true) {
            windows->beginTick();
            windows->isWindow(windows->foregroundWindow());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    } catch (const dwellmark::platform::PlatformError& error) {
        std::fprintf(stderr, "dwellmark: %s\n", error.what());
        return 1;
    }
}
