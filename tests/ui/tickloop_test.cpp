// The tick loop on a fake toolkit and desktop: when the ticks run, and when they fall back to every millisecond.
#include "fakes.h"
#include "ui/tickloop.h"
#include "ui/ticktimer.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace dwellmark::ui {
namespace {

using Ms = TickTimer::Milliseconds;

/// The fake desktop, reporting its changes by a descriptor, by calls, or not at all.
class ReportingDesktop final : public WindowSystem {
public:
    int descriptor = -1;
    bool calls = false;
    bool queued = false;
    std::function<void()> listener;

    int changeDescriptor() const override { return descriptor; }
    bool hasQueuedChanges() override { return queued; }
    bool setChangeListener(std::function<void()> call) override {
        listener = calls ? std::move(call) : nullptr;
        return static_cast<bool>(listener);
    }
    WindowHandle foregroundWindow() override { return m_desktop.foregroundWindow(); }
    bool isWindow(WindowHandle handle) override { return m_desktop.isWindow(handle); }
    std::string getWindowTitle(WindowHandle handle) override { return m_desktop.getWindowTitle(handle); }
    std::string getProcessName(WindowHandle handle) override { return m_desktop.getProcessName(handle); }

private:
    testing::FakeWindowSystem m_desktop;
};

/// A toolkit whose clock the test moves on; the ticks that come due on the way run.
class FakeToolkit final : public TickTimer {
public:
    explicit FakeToolkit(bool descriptors = true) : m_descriptors(descriptors) {}

    Ms now() const override { return m_now; }
    void runTickIn(Ms delay) override { m_due = m_now + delay; }
    void runTickEveryMillisecond() override { everyMillisecond = true; }
    void stopTicks() override {
        m_due = -1;
        everyMillisecond = false;
    }
    bool tickWaiting() const override { return m_due >= 0; }
    bool watchDescriptor(int descriptor) override { return m_descriptors && descriptor >= 0; }
    void setDescriptorWatched(bool on) override { watched = on; }

    /// Moves the clock to time, running each tick on the way as the main window would.
    void runUntil(Ms time, TickLoop& loop) {
        while (m_due >= 0 && m_due <= time) {
            m_now = m_due;
            m_due = -1;
            ticks.push_back(m_now);
            loop.ticked();
        }
        m_now = time;
    }

    std::vector<Ms> ticks;
    bool everyMillisecond = false;
    bool watched = false;

private:
    bool m_descriptors;
    Ms m_now = 5000;
    Ms m_due = -1;
};

TEST(TickLoop, TicksAtOnceOnEachReportAtMostOnceAMillisecondAndOnceASecondWhenQuiet) {
    ReportingDesktop desktop;
    desktop.calls = true;
    FakeToolkit toolkit;
    {
        TickLoop loop(desktop, toolkit, TickSource::DesktopEvents);
        ASSERT_TRUE(loop.followsDesktop());
        desktop.listener();
        EXPECT_FALSE(toolkit.tickWaiting()) << "nothing runs before the start";
        loop.start();
        toolkit.runUntil(5300, loop);
        desktop.listener(); // after a quiet spell the tick runs at once
        toolkit.runUntil(5300, loop);
        for (int i = 0; i < 50; ++i) { // a burst right after a tick: one tick, a millisecond after it
            desktop.listener();
        }
        toolkit.runUntil(5301, loop);
        desktop.queued = true; // changes read during the tick that no report will announce
        desktop.listener();
        toolkit.runUntil(5302, loop);
        desktop.queued = false;
        toolkit.runUntil(7500, loop); // quiet: the safety ticks only
        EXPECT_EQ(toolkit.ticks, (std::vector<Ms>{5000, 5300, 5301, 5302, 5303, 6303, 7303}));
        loop.stop();
        desktop.listener();
        toolkit.runUntil(20000, loop);
        EXPECT_EQ(toolkit.ticks.size(), 7U);
        EXPECT_FALSE(toolkit.everyMillisecond);
    }
    EXPECT_FALSE(desktop.listener) << "the reports end with the loop";
}

TEST(TickLoop, WatchesTheDescriptorOnlyBetweenATickAndItsReport) {
    ReportingDesktop desktop;
    desktop.descriptor = 7;
    FakeToolkit toolkit;
    TickLoop loop(desktop, toolkit, TickSource::DesktopEvents);
    ASSERT_TRUE(loop.followsDesktop());
    loop.start();
    EXPECT_FALSE(toolkit.watched) << "the first tick reads the descriptor first";
    toolkit.runUntil(5000, loop);
    EXPECT_TRUE(toolkit.watched);
    toolkit.runUntil(5300, loop);
    loop.descriptorReadable();
    EXPECT_FALSE(toolkit.watched) << "still readable until the tick reads it";
    toolkit.runUntil(5300, loop);
    EXPECT_EQ(toolkit.ticks, (std::vector<Ms>{5000, 5300}));
    EXPECT_TRUE(toolkit.watched);
    loop.stop();
    EXPECT_FALSE(toolkit.watched);
}

TEST(TickLoop, FallsBackToEveryMillisecondWithOneNoticeWhenTheDesktopCannotReport) {
    ReportingDesktop silent;
    ReportingDesktop descriptorOnly; // on a toolkit that cannot watch a descriptor
    descriptorOnly.descriptor = 7;
    ReportingDesktop reporting;
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
