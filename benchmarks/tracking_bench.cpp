// Costs of the tracking core's tick, through an in-memory desktop so that only
// the core is measured.
#include "fakes.h"
#include "processmemory.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace dwellmark;

using dwellmark::testing::FakeClock;
using dwellmark::testing::FakeWindowSystem;
using dwellmark::testing::residentKiB;
using dwellmark::testing::statusKiB;

std::string titleOf(int i) {
    return "Document " + std::to_string(i) + " - A Typical Editor Window Title";
}

void BM_TickWithoutChange(benchmark::State& state) {
    FakeWindowSystem desktop(false);
    FakeClock clock;
    clock.now = 1000.0F;
    ActivityTracker tracker(desktop, clock);
    const auto rows = static_cast<WindowHandle>(state.range(0));
    for (WindowHandle h = 1; h <= rows; ++h) {
        desktop.create(h, "application.exe", titleOf(h));
        desktop.focus(h);
        clock.now += 1.0F;
        tracker.tick();
    }
    for (auto _ : state) {
        tracker.tick();
    }
    state.counters["open_rows"] = static_cast<double>(tracker.openStretches().rowCount());
}
BENCHMARK(BM_TickWithoutChange)->Arg(100)->Arg(1000);

void BM_TickWithChange(benchmark::State& state) {
    FakeWindowSystem desktop(false);
    FakeClock clock;
    clock.now = 1000.0F;
    ActivityTracker tracker(desktop, clock);
    const auto totalsRows = static_cast<int>(state.range(0));
    const auto logRows = static_cast<int>(state.range(1));

    // Fill the lists to size directly; logging that many stretches would only take longer.
    ActivityTable& totals = tracker.totals();
    for (int i = 0; i < totalsRows; ++i) {
        const std::size_t row = totals.addRow("application.exe");
        totals.setText(row, TotalsColumn::WindowTitle, titleOf(i));
        totals.setText(row, TotalsColumn::TotalTime, "00:00:10");
        totals.setText(row, TotalsColumn::TotalSeconds, "10");
    }
    ActivityTable& log = tracker.usageLog();
    for (int i = 0; i < logRows; ++i) {
        const std::size_t row = log.addRow("application.exe");
        log.setText(row, LogColumn::WindowTitle, titleOf(i % totalsRows));
        log.setText(row, LogColumn::TimeStart, std::to_string(i * 10));
        log.setText(row, LogColumn::TimeEnd, std::to_string(i * 10 + 10));
        log.setText(row, LogColumn::Time, "00:00:00 - 00:00:10");
        log.setText(row, LogColumn::Total, "10");
    }
    tracker.setLoggedSeconds(static_cast<std::int64_t>(logRows) * 10);

    // Two windows whose titles are the last totals rows: the longest search.
    desktop.create(1, "application.exe", titleOf(totalsRows - 1));
    desktop.create(2, "application.exe", titleOf(totalsRows - 2));
    WindowHandle next = 1;
    for (auto _ : state) {
        desktop.focus(next);
        clock.now += 0.5F;
        tracker.tick();
        next = 3 - next;
    }
    state.counters["log_rows"] = static_cast<double>(tracker.usageLog().rowCount());
    state.counters["totals_rows"] = static_cast<double>(tracker.totals().rowCount());
}
BENCHMARK(BM_TickWithChange)->Args({10000, 100000})->Unit(benchmark::kMicrosecond);

// Memory held by 100,000 logged stretches over 1,000 titles, logged through the tick.
void BM_MemoryFor100kStretches(benchmark::State& state) {
    for (auto _ : state) {
        const long before = residentKiB();
        FakeWindowSystem desktop(false);
        FakeClock clock;
        ActivityTracker tracker(desktop, clock);
        for (WindowHandle h = 1; h <= 1000; ++h) {
            desktop.create(h, "application.exe", titleOf(h));
        }
        for (int i = 0; i < 100000; ++i) {
            desktop.focus(1 + i % 1000);
            clock.now = static_cast<float>(i % 80000);
            tracker.tick();
        }
        const long after = residentKiB();
        state.counters["log_rows"] = static_cast<double>(tracker.usageLog().rowCount());
        state.counters["rss_growth_MiB"] = static_cast<double>(after - before) / 1024.0;
        state.counters["peak_rss_MiB"] = static_cast<double>(statusKiB("VmHWM")) / 1024.0;
    }
}
BENCHMARK(BM_MemoryFor100kStretches)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
