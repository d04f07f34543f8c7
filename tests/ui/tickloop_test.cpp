// The tick loop on a fake toolkit and desktop: when the ticks run, and when they fall back to every millisecond.
#include "reportingfeed.h"
#include "ui/tickloop.h"
#include "ui/ticktimer.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace dwellmark::ui {
namespace {

using testing::ReportingFeed;
using Time = TickTimer::Time;
using namespace std::chrono_literals;

/// A toolkit whose clock the test moves on; the ticks that come due on the way run.
class FakeToolkit final : public TickTimer {
public:
    explicit FakeToolkit(bool descriptors = true) : m_descriptors(descriptors) {}

    Time now() const override { return m_now; }
    void runTickIn(Time delay) override { m_due = m_now + delay; }
    void runTickEveryMillisecond() override { everyMillisecond = true; }
    void stopTicks() override {
        m_due = never;
        everyMillisecond = false;
    }
    bool tickWaiting() const override { return m_due != never; }
    bool watchDescriptor(int descriptor) override { return m_descriptors && descriptor >= 0; }
    void setDescriptorWatched(bool on) override { watched = on; }

    /// Moves the clock to time, running each tick on the way as the main window would.
    void runUntil(Time time, TickLoop& loop) {
        while (m_due != never && m_due <= time) {
            m_now = m_due;
            m_due = never;
            ticks.push_back(m_now);
            loop.ticked();
        }
        m_now = time;
    }

    /// The ticks from time on.
    std::vector<Time> ticksFrom(Time time) const {
        std::vector<Time> from;
        std::copy_if(ticks.begin(), ticks.end(), std::back_inserter(from), [&](Time tick) { return tick >= time; });
        return from;
    }

    std::vector<Time> ticks;
    bool everyMillisecond = false;
    bool watched = false;

private:
    static constexpr Time never = Time::min();
    bool m_descriptors;
    Time m_now = 5s;
    Time m_due = never;
};

/// A loop on a desktop that reports by calls, started at 5 s and left quiet
/// until 6.3 s, so that its allowance is full.
class PacedTicks : public ::testing::Test {
protected:
    PacedTicks() {
        loop.start();
        toolkit.runUntil(6300ms, loop);
    }

    /// A change reported at time.
    void changeAt(Time time) {
        toolkit.runUntil(time, loop);
        desktop.listener();
    }

    ReportingFeed desktop{true};
    FakeToolkit toolkit;
    TickLoop loop{desktop, toolkit, TickSource::DesktopEvents};
};

TEST_F(PacedTicks, LooksAtOnceAtStartThenOnceASecondUntilStopped) {
    EXPECT_TRUE(loop.followsDesktop());
    EXPECT_EQ(toolkit.ticks, (std::vector<Time>{5s, 6s}));
    toolkit.runUntil(8500ms, loop);
    EXPECT_EQ(toolkit.ticksFrom(6300ms), (std::vector<Time>{7s, 8s})) << "quiet: the safety ticks only";
    changeAt(8700ms);
    toolkit.runUntil(10s, loop);
    EXPECT_EQ(toolkit.ticksFrom(8500ms), (std::vector<Time>{8700ms, 9700ms})) << "the safety tick counts from the last";
    loop.stop();
    desktop.listener();
    toolkit.runUntil(20s, loop);
    EXPECT_EQ(toolkit.ticksFrom(10s).size(), 0U);
    EXPECT_FALSE(toolkit.everyMillisecond);
}

TEST_F(PacedTicks, TicksAChangeAtOnceAlsoRightAfterAnotherUpToTheAllowance) {
    // A window manager that names no window for half a millisecond between two.
    changeAt(6400ms);
    changeAt(6400ms + 500us);
    toolkit.runUntil(6400ms + 500us, loop);
    EXPECT_EQ(toolkit.ticksFrom(6300ms), (std::vector<Time>{6400ms, 6400ms + 500us}));
    changeAt(6400ms + 600us);
    for (int i = 0; i < 20; ++i) { // many reports of one change: one tick
        desktop.listener();
    }
    changeAt(6400ms + 700us);
    // Four ticks in 0.7 ms have spent the allowance: the changes that follow
    // wait until it holds a tick again, a millisecond after the first of the
    // four, and one tick sees them both.
    changeAt(6400ms + 800us);
    changeAt(6400ms + 900us);
    toolkit.runUntil(6500ms, loop);
    EXPECT_EQ(toolkit.ticksFrom(6300ms),
              (std::vector<Time>{6400ms, 6400ms + 500us, 6400ms + 600us, 6400ms + 700us, 6401ms}));
}

TEST_F(PacedTicks, AStormCostsOneTickAMillisecondAndNoChangeWaitsLonger) {
    // A report every 0.3 ms for 100 ms, from a fraction of a millisecond on.
    std::vector<Time> reports;
    for (Time at = 6400ms + 900us; at < 6500ms + 900us; at += 300us) {
        changeAt(at);
        reports.push_back(at);
    }
    toolkit.runUntil(6600ms, loop);
    const std::vector<Time> ticks = toolkit.ticksFrom(6300ms);
    EXPECT_GE(ticks.size(), 100U);
    // Any span holds at most four ticks more than it lasts in whole milliseconds.
    for (std::size_t first = 0; first < ticks.size(); ++first) {
        for (std::size_t last = first + 1; last < ticks.size(); ++last) {
            ASSERT_LE(last - first + 1, 4 + static_cast<std::size_t>((ticks[last] - ticks[first]) / 1ms))
                << "ticks " << first << " to " << last;
        }
    }
    for (const Time report : reports) {
        const auto next = std::lower_bound(ticks.begin(), ticks.end(), report);
        ASSERT_NE(next, ticks.end());
        EXPECT_LE(*next - report, 1ms) << "report at " << report.count() << " ns";
    }
}

TEST_F(PacedTicks, TicksTheChangesTheBackendHoldsAfterATickAsReported) {
    desktop.queued = true;
    changeAt(6400ms);
    toolkit.runUntil(6405ms, loop);
    desktop.queued = false;
    toolkit.runUntil(7500ms, loop);
    // At once while the allowance lasts, then a millisecond apart; then quiet.
    EXPECT_EQ(toolkit.ticksFrom(6300ms), (std::vector<Time>{6400ms, 6400ms, 6400ms, 6400ms, 6401ms, 6402ms, 6403ms,
                                                            6404ms, 6405ms, 6406ms, 7406ms}));
}

TEST(TickLoop, WatchesTheDescriptorOnlyBetweenATickAndItsNews) {
    ReportingFeed desktop;
    desktop.descriptor = 7;
    FakeToolkit toolkit;
    TickLoop loop(desktop, toolkit, TickSource::DesktopEvents);
    ASSERT_TRUE(loop.followsDesktop());
    loop.start();
    EXPECT_FALSE(toolkit.watched) << "the first tick reads the descriptor first";
    toolkit.runUntil(5s, loop);
    EXPECT_TRUE(toolkit.watched);
    desktop.news = false;
    toolkit.runUntil(5200ms, loop);
    loop.descriptorReadable();
    EXPECT_TRUE(toolkit.watched) << "nothing of interest came: no tick, and the watch goes on";
    desktop.news = true;
    toolkit.runUntil(5300ms, loop);
    loop.descriptorReadable();
    EXPECT_FALSE(toolkit.watched) << "still readable until the tick reads it";
    toolkit.runUntil(5300ms, loop);
    EXPECT_EQ(toolkit.ticks, (std::vector<Time>{5s, 5300ms}));
    EXPECT_TRUE(toolkit.watched);
    loop.stop();
    EXPECT_FALSE(toolkit.watched);
}

TEST(TickLoop, WaitsAsLongAsTheBackendSaysBetweenSafetyTicks) {
    ReportingFeed desktop;
    desktop.descriptor = 7;
    desktop.safety = ChangeFeed::connectionSafetyInterval;
    FakeToolkit toolkit;
    TickLoop loop(desktop, toolkit, TickSource::DesktopEvents);
    loop.start();
    toolkit.runUntil(70s, loop);
    EXPECT_EQ(toolkit.ticks, (std::vector<Time>{5s, 65s})) << "quiet over a connection: a tick a minute";
    loop.descriptorReadable();
    toolkit.runUntil(200s, loop);
    EXPECT_EQ(toolkit.ticksFrom(66s), (std::vector<Time>{70s, 130s, 190s})) << "a report at once, the next a minute on";
}

TEST(TickLoop, FallsBackToEveryMillisecondWithOneNoticeWhenTheDesktopCannotReport) {
    ReportingFeed silent;
    ReportingFeed descriptorOnly; // on a toolkit that cannot watch a descriptor
    descriptorOnly.descriptor = 7;
    ReportingFeed reporting;
    reporting.calls = true;
    FakeToolkit toolkit;
    FakeToolkit noDescriptors(false);
    FakeToolkit timerToolkit;
    ::testing::internal::CaptureStderr();
    TickLoop first(silent, toolkit, TickSource::DesktopEvents);
    TickLoop second(descriptorOnly, noDescriptors, TickSource::DesktopEvents);
    TickLoop chosen(reporting, timerToolkit, TickSource::Timer);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(timerFallbackNotice));
    // Standard error says it once; every window that falls back says it in its notice line.
    EXPECT_EQ(first.notice(), "the desktop does not report its changes; looking at it every millisecond instead");
    EXPECT_EQ(second.notice(), first.notice());
    EXPECT_TRUE(chosen.notice().empty());
    using Pair = std::pair<TickLoop*, FakeToolkit*>;
    for (auto [loop, timer] : {Pair{&first, &toolkit}, Pair{&second, &noDescriptors}, Pair{&chosen, &timerToolkit}}) {
        EXPECT_FALSE(loop->followsDesktop());
        loop->start();
        EXPECT_TRUE(timer->everyMillisecond);
        loop->stop();
        EXPECT_FALSE(timer->everyMillisecond);
    }
    EXPECT_FALSE(reporting.listener) << "the timer chosen, the desktop's reports are not asked for";
}

} // namespace
} // namespace dwellmark::ui
