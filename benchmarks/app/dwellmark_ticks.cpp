// Dwellmark as the program runs it, with its ticks counted into the file named
// on the command line, and, when a second file is named, every change of the
// foreground window the tracker sees written to it as a line "WINDOW NS"
// (CLOCK_MONOTONIC nanoseconds of the tick that read it). With --timer the
// main window ticks every millisecond instead of on the desktop's events; with
// --safety-every MS the safety tick comes that often (what one such tick costs
// can then be measured beside a bare timer's). It runs until its window is
// closed or it is sent SIGTERM.
//   bench_dwellmark_ticks [--timer | --safety-every MS] TICK-COUNT-FILE [NOTICE-FILE]
#include "app/qtprogram.h"
#include "countingwindowsystem.h"
#include "noticefile.h"
#include "sharedtickcount.h"
#include "tracking/forwardingchangefeed.h"

#include <QByteArray>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

/// Passes the reports on, with the safety tick as often as asked.
struct SafetyFeed final : dwellmark::ForwardingChangeFeed {
    using ForwardingChangeFeed::ForwardingChangeFeed;
    std::chrono::milliseconds safetyTickInterval() const override { return safety; }
    std::chrono::milliseconds safety{};
};

/// Passes every question on, and notes each new answer to the foreground question.
class NoticingWindowSystem final : public dwellmark::WindowSystem {
public:
    /// notices: where each new answer goes; nullptr for nowhere.
    NoticingWindowSystem(dwellmark::WindowSystem& inner, const dwellmark::bench::NoticeFile* notices)
        : m_inner(inner), m_notices(notices) {}

    std::uint64_t beginTick() override { return m_inner.beginTick(); }
    bool sessionLocked() override { return m_inner.sessionLocked(); }
    dwellmark::WindowHandle findOwnWindow(dwellmark::WindowHandle nativeId, std::string_view title,
                                          std::string_view appId) override {
        return m_inner.findOwnWindow(nativeId, title, appId);
    }
    dwellmark::WindowHandle foregroundWindow() override {
        const dwellmark::WindowHandle window = m_inner.foregroundWindow();
        if (window != m_last && m_notices != nullptr) {
            m_notices->note(static_cast<std::uint32_t>(window));
        }
        m_last = window;
        return window;
    }
    bool isWindow(dwellmark::WindowHandle handle) override { return m_inner.isWindow(handle); }
    std::string getWindowTitle(dwellmark::WindowHandle handle) override { return m_inner.getWindowTitle(handle); }
    std::string getProcessName(dwellmark::WindowHandle handle) override { return m_inner.getProcessName(handle); }

private:
    dwellmark::WindowSystem& m_inner;
    const dwellmark::bench::NoticeFile* m_notices;
    dwellmark::WindowHandle m_last = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    int first = 1;
    auto source = dwellmark::TickSource::DesktopEvents;
    std::optional<std::chrono::milliseconds> safety;
    if (argc > 1 && std::strcmp(argv[1], "--timer") == 0) {
        source = dwellmark::TickSource::Timer;
        first = 2;
    } else if (argc > 2 && std::strcmp(argv[1], "--safety-every") == 0) {
        safety = std::chrono::milliseconds(std::atoi(argv[2]));
        first = 3;
    }
    if (argc - first < 1 || argc - first > 2 || (safety && safety->count() <= 0)) {
        std::fputs("usage: bench_dwellmark_ticks [--timer | --safety-every MS] TICK-COUNT-FILE [NOTICE-FILE]\n",
                   stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
    std::unique_ptr<dwellmark::bench::SharedTickCount> ticks;
    std::unique_ptr<dwellmark::bench::NoticeFile> notices;
    try {
        ticks = std::make_unique<dwellmark::bench::SharedTickCount>(argv[first]);
        if (argc - first == 2) {
            notices = std::make_unique<dwellmark::bench::NoticeFile>(argv[first + 1]);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_dwellmark_ticks: %s\n", failure.what());
        return 1;
    }
    std::unique_ptr<dwellmark::testing::CountingWindowSystem> counted;
    std::unique_ptr<NoticingWindowSystem> noticing;
    std::unique_ptr<SafetyFeed> safetyFeed;
    return dwellmark::app::run(
        argc, argv,
        [&](dwellmark::WindowSystem*& windows, dwellmark::ChangeFeed*& changes) {
            counted = std::make_unique<dwellmark::testing::CountingWindowSystem>(*windows, [&] { ticks->increment(); });
            noticing = std::make_unique<NoticingWindowSystem>(*counted, notices.get());
            windows = noticing.get();
            if (safety) {
                safetyFeed = std::make_unique<SafetyFeed>(*changes);
                safetyFeed->safety = *safety;
                changes = safetyFeed.get();
            }
        },
        source);
}
