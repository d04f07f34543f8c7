// A tick without a change through the X11 backend: the foreground query and
// one existence query per open-interval row, all answered from events.
#include "benchdesktop.h"

#include <benchmark/benchmark.h>

namespace {

using dwellmark::bench::BenchDesktop;

void BM_TickWithoutChange(benchmark::State& state) {
    BenchDesktop desktop(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        desktop.tracker().tick();
    }
    state.counters["rows"] = static_cast<double>(desktop.tracker().openStretches().rowCount());
}
BENCHMARK(BM_TickWithoutChange)->Arg(1)->Arg(3)->Arg(10)->Unit(benchmark::kMicrosecond);

void BM_ForegroundWindow(benchmark::State& state) {
    BenchDesktop desktop(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(desktop.windows().foregroundWindow());
    }
}
BENCHMARK(BM_ForegroundWindow)->Unit(benchmark::kMicrosecond);

void BM_IsWindowOfAWatchedWindow(benchmark::State& state) {
    BenchDesktop desktop(1);
    const auto handle = static_cast<dwellmark::WindowHandle>(desktop.windowIds().front());
    for (auto _ : state) {
        benchmark::DoNotOptimize(desktop.windows().isWindow(handle));
    }
}
BENCHMARK(BM_IsWindowOfAWatchedWindow)->Unit(benchmark::kMicrosecond);

// For comparison: what each tick would cost if it asked the server.
void BM_ActiveWindowByRoundTrip(benchmark::State& state) {
    BenchDesktop desktop(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(desktop.activeWindowByRoundTrip());
    }
}
BENCHMARK(BM_ActiveWindowByRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
