// The tracker on the backend that the session calls for, in a process of its
// own, for tests that must watch a whole process: it says "ready" after its
// first tick, then ticks until something ends it, whenever the desktop may
// have changed or, given --every-millisecond, every millisecond.
//
//   backend_probe [--every-millisecond]
#include "platform/platform.h"
#include "tracking/activitytracker.h"

#include <chrono>
#include <cstdio>
#include <poll.h>
#include <string_view>
#include <thread>

int main(int argc, char** argv) {
    const bool everyMillisecond = argc > 1 && std::string_view(argv[1]) == "--every-millisecond";
    try {
        auto desktop = dwellmark::platform::openDesktop();
        auto clock = dwellmark::platform::createClock();
        dwellmark::ActivityTracker tracker(*desktop.windows, *clock);
        tracker.tick();
        std::puts("ready");
        std::fflush(stdout);
        while (true) {
            if (everyMillisecond) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            } else if (!desktop.changes->hasQueuedChanges()) {
                pollfd change{desktop.changes->changeDescriptor(), POLLIN, 0};
                poll(&change, 1, 100);
            }
            tracker.tick();
        }
    } catch (const dwellmark::platform::PlatformError& error) {
        std::fprintf(stderr, "dwellmark: %s\n", error.what());
        return 1;
    }
}
