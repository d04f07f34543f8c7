// Ticks paced by the desktop's change reports: recorded desktop sessions
// replayed through both tick sources (a tick every millisecond, and ticks
// paced by reported changes), whose tables must agree cell by cell. The
// pacing rule itself is tested through the tick loop (tests/ui).
#include "fakes.h"
#include "tablecells.h"
#include "tracking/activitytracker.h"
#include "ui/tickpacer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace dwellmark {
namespace {

using testing::FakeClock;
using testing::FakeWindowSystem;
using Ms = std::int64_t;
using std::chrono::milliseconds;
constexpr Ms safetyMs = std::chrono::duration_cast<milliseconds>(TickPacer::safetyInterval).count();

/// A recorded desktop session. One step a line: the millisecond it happens at
/// ("+" after the number: after that millisecond's tick), then
///   create HANDLE PROCESS TITLE   a new window (not reported: nothing shows yet)
///   focus HANDLE                  the window takes the foreground
///   destroy HANDLE                the window goes (and the foreground with it)
///   vanish HANDLE                 the window goes, still named foreground for a moment
///   title HANDLE TITLE            a new title (not reported: titles are read once)
///   quietly focus HANDLE          a change whose report got lost
/// The first line, "start SECONDS", is the clock's time of day at 0 ms.
struct Step {
    Ms at = 0;
    bool afterTick = false;
    bool reported = true;
    std::string verb;
    WindowHandle handle = 0;
    std::string process;
    std::string title;
};

struct Recording {
    double start = 0.0;
    std::vector<Step> steps;
};

Recording parse(const std::string& text) {
    Recording recording;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) {
            continue;
        }
        if (first == "start") {
            words >> recording.start;
            continue;
        }
        Step step;
        step.afterTick = first.ends_with('+');
        step.at = std::stoll(first);
        words >> step.verb;
        if (step.verb == "quietly") {
            step.reported = false;
            words >> step.verb;
        }
        words >> step.handle;
        if (step.verb == "create") {
            words >> step.process;
        }
        std::getline(words >> std::ws, step.title);
        if (step.verb == "create" || step.verb == "title") {
            step.reported = false;
        }
        recording.steps.push_back(step);
    }
    return recording;
}

void apply(const Step& step, FakeWindowSystem& desktop) {
    if (step.verb == "create") {
        desktop.create(step.handle, step.process, step.title);
    } else if (step.verb == "focus") {
        desktop.focus(step.handle);
    } else if (step.verb == "destroy") {
        desktop.destroy(step.handle);
    } else if (step.verb == "vanish") {
        desktop.destroyKeepingForeground(step.handle);
    } else if (step.verb == "title") {
        desktop.setTitle(step.handle, step.title);
    } else {
        throw std::invalid_argument("unknown step: " + step.verb);
    }
}

using Table = testing::Rows;

struct Outcome {
    Table log;
    Table open;
    Table totals;
    std::size_t ticks = 0;
};

constexpr WindowHandle mainWindow = 9;
// Runs on for this long after the last step, so that the safety tick comes too.
constexpr Ms runOut = 2 * safetyMs;

/// Replays the session millisecond by millisecond against the fake clock, with
/// a tick on every millisecond or where the pacer asks for one. Paced, the
/// desktop numbers its changes, as the X11 backend does, and the tracker skips
/// the work of a tick that finds no new one.
Outcome replay(const Recording& recording, TickSource source) {
    FakeWindowSystem desktop;
    FakeClock clock;
    ActivityTracker tracker(desktop, clock);
    tracker.setMainWindow(mainWindow);
    TickPacer pacer(milliseconds(0));
    Outcome outcome;
    desktop.version = source == TickSource::DesktopEvents ? 1 : 0;

    const Ms end = recording.steps.empty() ? 0 : recording.steps.back().at + runOut;
    auto next = recording.steps.begin();
    for (Ms now = 0; now <= end; ++now) {
        const double seconds = recording.start + static_cast<double>(now) / 1000.0;
        clock.now = static_cast<float>(seconds >= 86400.0 ? seconds - 86400.0 : seconds);
        for (const bool afterTick : {false, true}) {
            for (; next != recording.steps.end() && next->at == now && next->afterTick == afterTick; ++next) {
                apply(*next, desktop);
                desktop.version += source == TickSource::DesktopEvents ? 1 : 0;
                if (next->reported) {
                    pacer.changeReported(milliseconds(now));
                }
            }
            if (afterTick) {
                break;
            }
            if (source == TickSource::Timer || pacer.nextTick() <= milliseconds(now)) {
                tracker.tick();
                pacer.ticked(milliseconds(now), desktop.hasQueuedChanges());
                ++outcome.ticks;
            }
        }
    }
    EXPECT_EQ(next, recording.steps.end()) << "steps out of order in the recording";
    outcome.log = testing::rowsOf(tracker.usageLog());
    outcome.open = testing::rowsOf(tracker.openStretches());
    outcome.totals = testing::rowsOf(tracker.totals());
    return outcome;
}

struct Session {
    const char* name;
    const char* steps;
};

const Session sessions[] = {
    {"switches", R"(
        start 36000
        0 focus 9
        0 create 101 editor Notes.txt - Editor
        0 create 202 browser Start page
        0 create 303 terminal
        250 focus 101
        1700 focus 202
        1701 focus 101
        1701+ focus 202
        1702+ focus 303
        3400 focus 202
        3400+ focus 9
        5100 focus 101
        9100 focus 202
    )"},
    {"destroyed foreground windows", R"(
        start 50000.25
        0 create 101 editor Draft
        0 create 202 viewer Picture
        0 create 404 dialog Save as
        10 focus 101
        2100 focus 404
        2900 destroy 404
        3300 focus 202
        4500 vanish 202
        4530 focus 101
        6000 focus 202
        6400 destroy 101
    )"},
    {"reused handles", R"(
        start 7200
        0 create 101 editor First file
        0 create 202 browser News
        100 focus 101
        1100 focus 202
        1300 destroy 101
        1300+ create 101 player Song
        2200 focus 101
        3500 focus 202
        3500+ destroy 202
        3500+ create 202 mail Inbox
        3600 focus 202
        5000 focus 101
    )"},
    {"title changes", R"(
        start 1000
        0 create 101 editor Untitled
        0 create 202 browser Loading
        50 focus 202
        60 title 202 Weather report
        900 title 101 Essay.txt
        1500 focus 101
        2500 title 101 Essay.txt (modified)
        2600 focus 202
        2700 title 202 Weather report - tomorrow
        4000 focus 101
        4100 create 303 editor Essay.txt (modified)
        4200 focus 303
        5200 focus 202
    )"},
    {"midnight", R"(
        start 86397.25
        0 create 101 editor Late work
        0 create 202 browser Early news
        100 focus 101
        1500 focus 202
        2499 focus 101
        2500 focus 202
        3000+ focus 101
        7000 focus 202
    )"},
};

void PrintTo(const Session& session, std::ostream* out) {
    *out << session.name;
}

class ReplayedSession : public ::testing::TestWithParam<Session> {};

TEST_P(ReplayedSession, GivesTheSameTablesWithEitherTickSource) {
    const Recording recording = parse(GetParam().steps);
    const Outcome everyMillisecond = replay(recording, TickSource::Timer);
    const Outcome paced = replay(recording, TickSource::DesktopEvents);

    EXPECT_EQ(paced.log, everyMillisecond.log);
    EXPECT_EQ(paced.open, everyMillisecond.open);
    EXPECT_EQ(paced.totals, everyMillisecond.totals);
    // The session must have logged something for the comparison to mean much.
    EXPECT_FALSE(everyMillisecond.log.empty());

    // Paced: one tick per reported change at most, one at start, and the
    // safety ticks of the quiet spells.
    std::size_t reported = 0;
    for (const Step& step : recording.steps) {
        reported += step.reported ? 1 : 0;
    }
    const auto length = static_cast<std::size_t>(recording.steps.back().at + runOut);
    EXPECT_LE(paced.ticks, 1 + reported + length / safetyMs);
    EXPECT_EQ(everyMillisecond.ticks, length + 1);
}

INSTANTIATE_TEST_SUITE_P(Recorded, ReplayedSession, ::testing::ValuesIn(sessions),
                         [](const ::testing::TestParamInfo<Session>& param) {
                             std::string name = param.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST(ReplayedSession, AChangeWhoseReportIsLostIsSeenByTheSafetyTick) {
    const Recording recording = parse(R"(
        start 100
        0 create 101 editor Left
        0 create 202 browser Right
        10 focus 101
        2000 quietly focus 202
        5000 focus 101
    )");
    const Outcome everyMillisecond = replay(recording, TickSource::Timer);
    const Outcome paced = replay(recording, TickSource::DesktopEvents);

    // Seen late, but seen: Left's stretch ends at the next safety tick, within a second.
    ASSERT_EQ(everyMillisecond.log.size(), 2U);
    ASSERT_EQ(paced.log.size(), 2U);
    ASSERT_EQ(paced.open.size(), 2U);
    const double opened = std::stod(paced.open[1][3]) - recording.start;
    EXPECT_GE(opened, 2.0);
    EXPECT_LE(opened, 2.0 + static_cast<double>(safetyMs) / 1000.0);
    EXPECT_EQ(paced.totals.size(), everyMillisecond.totals.size());
}

} // namespace
} // namespace dwellmark
