// The tracker on the X11 backend in a process of its own, as the program runs
// it but without windows of its own: it says "ready" after its first tick,
// then ticks every millisecond until something ends it.
#include "platform/platform.h"
#include "tracking/activitytracker.h"

#include <chrono>
#include <cstdio>
#include <thread>

int main() {
    try {
        auto windows = dwellmark::platform::createWindowSystem();
        auto clock = dwellmark::platform::createClock();
        dwellmark::ActivityTracker tracker(*windows, *clock);
        tracker.tick();
        std::puts("ready");
        std::fflush(stdout);
        while (true) {
            tracker.tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    } catch (const dwellmark::platform::PlatformError& error) {
        std::fprintf(stderr, "dwellmark: %s\n", error.what());
        return 1;
    }
}
