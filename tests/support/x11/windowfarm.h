// The test side of the x11_test_window program: many windows of another process.
#pragma once

#include "childprocess.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dwellmark::testing {

/// The windows of another process (the x11_test_window program), made,
/// renamed, activated and destroyed on the test's word.
///
/// While a command runs, the test can go on working: each call takes an idle
/// step (run the event loop, tick a tracker) that is repeated until the answer
/// comes.
class WindowFarm final {
public:
    using Idle = std::function<void()>;

    /// Starts the program on the display of $DISPLAY, or on the one given.
    explicit WindowFarm(const std::string& display = {});

    /// Makes count windows titled "prefix 0", "prefix 1", ... and maps every
    /// mapEvery-th of them from the first (a window manager takes its time over
    /// each window it is given); their ids in that order.
    std::vector<std::uint32_t> create(unsigned count, std::string_view prefix, const Idle& idle = {},
                                      unsigned mapEvery = 1);
    /// Asks the window manager to activate the window, as a pager would.
    void activate(std::uint32_t window, const Idle& idle = {});
    /// Gives the window a new title.
    void setTitle(std::uint32_t window, std::string_view title, const Idle& idle = {});
    void destroy(const std::vector<std::uint32_t>& windows, const Idle& idle = {});
    void destroyAll(const Idle& idle = {});

    /// Starts giving the window a new title every millisecond, count times; finish() waits for the end.
    void startSpin(std::uint32_t window, unsigned count);
    /// Starts making, activating and destroying windows at random for the time; finish() waits for the end
    /// and answers "ok CREATED ACTIVATED". Every window is gone afterwards.
    void startChurn(std::chrono::milliseconds duration, unsigned seed);
    /// The answer of the command started last.
    std::string finish(const Idle& idle, std::chrono::milliseconds timeout = std::chrono::minutes(2));

private:
    std::string call(const std::string& command, const Idle& idle);

    ChildProcess m_process;
};

} // namespace dwellmark::testing
