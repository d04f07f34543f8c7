// Resident memory of Dwellmark at start and after 100,000 logged stretches.
// The real application object, main window, views, models and tracker run on
// an in-memory desktop and clock: the foreground changes on every call of the
// window's tick procedure, and the window's events (view updates, repaints)
// are handled every 100 ticks. A hundred windows are open at a time; every 100
// stretches the oldest closes and a new one with a title of its own opens, so
// the totals grow to about 1,100 titles.
//   bench_memory_100k
#include "app/application.h"
#include "app/qtprogram.h"
#include "fakes.h"
#include "process.h"
#include "processmemory.h"

#include <QElapsedTimer>
#include <QWindow>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <unistd.h>

namespace {

using dwellmark::WindowHandle;

const char* const processes[] = {"firefox-esr", "soffice.bin", "code", "evince", "gnome-terminal-server"};

std::string titleOf(WindowHandle handle) {
    return "Quarterly report " + std::to_string(handle) + " (draft) - Document Editor";
}

void handleEventsFor(dwellmark::app::Application& app, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        app.processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
    constexpr std::size_t stretches = 100000;
    constexpr int openWindows = 100;

    dwellmark::testing::FakeWindowSystem desktop(false);
    dwellmark::testing::FakeClock clock;
    clock.now = 8.0F * 3600.0F;
    std::deque<WindowHandle> open;
    WindowHandle nextHandle = 1;
    for (; nextHandle <= openWindows; ++nextHandle) {
        desktop.create(nextHandle, processes[nextHandle % 5], titleOf(nextHandle));
        open.push_back(nextHandle);
    }

    dwellmark::app::Application app(argc, argv);
    // The in-memory desktop reports no changes: the main window ticks every millisecond, as before.
    dwellmark::app::QtProgram program(desktop, desktop, clock, {}, dwellmark::TickSource::Timer);
    dwellmark::ActivityTracker& tracker = program.tracker();
    dwellmark::ui::MainWindow& form = program.mainWindow();
    form.show();
    QElapsedTimer shownTimer;
    shownTimer.start();
    while ((form.windowHandle() == nullptr || !form.windowHandle()->isExposed()) && shownTimer.elapsed() < 10000) {
        app.processEvents(QEventLoop::AllEvents, 10);
    }
    handleEventsFor(app, 500);
    const long startKiB = dwellmark::testing::residentKiB();

    const auto start = std::chrono::steady_clock::now();
    std::size_t changes = 0;
    // A fixed, scattered order of visits among the open windows.
    std::uint32_t state = 12345;
    while (tracker.usageLog().rowCount() < stretches) {
        state = state * 1103515245U + 12345U;
        const std::size_t pick = (state >> 8U) % open.size();
        if (desktop.foregroundWindow() == open[pick]) {
            continue;
        }
        desktop.focus(open[pick]);
        clock.now += 0.4F;
        form.tick();
        if (++changes % 100 == 0) {
            desktop.destroy(open.front());
            open.pop_front();
            desktop.create(nextHandle, processes[nextHandle % 5], titleOf(nextHandle));
            open.push_back(nextHandle++);
            app.processEvents();
        }
    }
    handleEventsFor(app, 500);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long afterKiB = dwellmark::testing::residentKiB();

    const std::size_t logRows = tracker.usageLog().rowCount();
    const std::size_t totalsRows = tracker.totals().rowCount();
    if (logRows != stretches || totalsRows < static_cast<std::size_t>(openWindows)) {
        std::fprintf(stderr, "bench_memory_100k: %zu stretches logged under %zu titles; expected %zu\n", logRows,
                     totalsRows, stretches);
        return 1;
    }
    std::printf("rss_start_kib=%ld rss_100k_kib=%ld log_rows=%zu totals_rows=%zu drive_s=%.1f\n", startKiB, afterKiB,
                logRows, totalsRows, seconds);
    return 0;
}
