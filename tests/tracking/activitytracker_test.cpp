// The activity tracker against a fake desktop and clock: the tables it keeps, lengths measured on the steady clock, and
// a locked session.
#include "fakes.h"
#include "tablecells.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"
#include "tracking/textforms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace dwellmark {
namespace {

using ::testing::ElementsAre;
using testing::FakeClock;
using testing::FakeWindowSystem;

using testing::Row;
using testing::rowOf;
using testing::Rows;
using testing::rowsOf;

constexpr WindowHandle mainWindow = 77;
constexpr WindowHandle windowA = 101;
constexpr WindowHandle windowB = 202;
constexpr WindowHandle windowC = 303;

class ActivityTrackerTest : public ::testing::Test {
protected:
    ActivityTrackerTest() : tracker(windows, clock) {
        tracker.setMainWindow(mainWindow);
        windows.create(mainWindow, "dwellmark", "Dwellmark");
        windows.create(windowA, "editor", "Notes - Editor");
        windows.create(windowB, "browser", "News - Browser");
    }

    /// Puts a window in the foreground and runs one tick, now or at a time of day.
    void focusNow(WindowHandle handle) {
        windows.focus(handle);
        tracker.tick();
    }
    void focusAt(WindowHandle handle, float at) {
        clock.now = at;
        focusNow(handle);
    }

    /// Logs one stretch of a window from start to end (seconds of the day).
    void stretch(WindowHandle handle, float start, float end) {
        focusAt(handle, start);
        focusAt(mainWindow, end);
    }

    /// The rows of each table, as the lists show them.
    Rows logRows() const { return rowsOf(tracker.usageLog()); }
    Rows openRows() const { return rowsOf(tracker.openStretches()); }
    Rows totalRows() const { return rowsOf(tracker.totals()); }

    FakeWindowSystem windows;
    FakeClock clock;
    ActivityTracker tracker;
};

TEST_F(ActivityTrackerTest, StartsEmpty) {
    EXPECT_EQ(tracker.usageLog().rowCount(), 0U);
    EXPECT_EQ(tracker.openStretches().rowCount(), 0U);
    EXPECT_EQ(tracker.totals().rowCount(), 0U);
    EXPECT_EQ(tracker.lastForeground(), 0);
    EXPECT_EQ(tracker.loggedSeconds(), -1);
}

TEST_F(ActivityTrackerTest, FollowsTheForegroundFromWindowToWindow) {
    focusAt(mainWindow, 590.0F);
    EXPECT_EQ(tracker.openStretches().rowCount(), 0U);
    EXPECT_EQ(tracker.lastForeground(), mainWindow);
    EXPECT_EQ(tracker.loggedSeconds(), -1);

    focusAt(windowA, 600.25F);
    EXPECT_EQ(openRows(), (Rows{{"101", "editor", "Notes - Editor", "600.25", ""}}));
    EXPECT_EQ(tracker.usageLog().rowCount(), 0U);

    focusAt(windowB, 612.5F);
    EXPECT_EQ(openRows(), (Rows{{"101", "editor", "Notes - Editor", "600.25", "612.5"},
                                {"202", "browser", "News - Browser", "612.5", ""}}));
    // The fresh reading 612.5 rounds to 612 (tie to even); 612 - 600.25 = 11.75 -> 12.
    EXPECT_EQ(logRows(), (Rows{{"editor", "Notes - Editor", "0", "12", "00:00:00 - 00:00:12", "12"}}));

    focusAt(windowA, 620.0F);
    EXPECT_EQ(openRows(), (Rows{{"101", "editor", "Notes - Editor", "620", ""},
                                {"202", "browser", "News - Browser", "612.5", "620"}}));
    // 620 - 612.5 = 7.5 -> 8 (tie to even).
    EXPECT_EQ(logRows(), (Rows{{"editor", "Notes - Editor", "0", "12", "00:00:00 - 00:00:12", "12"},
                               {"browser", "News - Browser", "12", "20", "00:00:12 - 00:00:20", "8"}}));
    EXPECT_EQ(totalRows(),
              (Rows{{"editor", "Notes - Editor", "00:00:12", "12"}, {"browser", "News - Browser", "00:00:08", "8"}}));
    EXPECT_EQ(tracker.loggedSeconds(), 20);
    EXPECT_EQ(tracker.lastForeground(), windowA);
}

TEST_F(ActivityTrackerTest, ReadsNamesOnceAndOnlyOnChanges) {
    focusAt(windowA, 10.0F);
    focusAt(windowA, 11.0F);
    focusAt(windowB, 12.0F);
    focusAt(windowA, 13.0F);
    // Process before title, once per window, never again when a window returns.
    EXPECT_THAT(windows.probed, ElementsAre("process 101", "title 101", "process 202", "title 202"));
    // One reading per change for the boundary and one per logged stretch for its length.
    EXPECT_EQ(clock.readings, 3 + 2);
    EXPECT_EQ(clock.timeOfDayReadings, 3);

    const int before = clock.readings;
    for (int i = 0; i < 50; ++i) {
        tracker.tick();
    }
    EXPECT_EQ(clock.readings, before);
    EXPECT_EQ(clock.timeOfDayReadings, 3);
    EXPECT_EQ(tracker.usageLog().rowCount(), 2U);
}

TEST_F(ActivityTrackerTest, AProvisionalApplicationIsAskedForAtEachTickUntilItIsKnownThenKept) {
    // A host's frame takes the foreground before the program it shows has joined it.
    windows.provisionalApplication = "framehost";
    windows.create(windowC, "framehost", "Calculator");
    focusAt(windowC, 100.0F);
    focusAt(windowC, 101.0F);
    EXPECT_EQ(tracker.openStretches().text(1, OpenColumn::Application), "framehost");

    windows.setProcess(windowC, "calculator");
    windows.setTitle(windowC, "Calculator - 12 + 30");
    focusAt(windowC, 102.0F);
    // The program that has joined it is kept, even when the host speaks for the frame again.
    windows.setProcess(windowC, "framehost");
    focusAt(windowC, 103.0F);
    focusAt(windowA, 110.0F);
    EXPECT_EQ(logRows(), (Rows{{"calculator", "Calculator", "0", "10", "00:00:00 - 00:00:10", "10"}}));
    EXPECT_THAT(windows.probed,
                ElementsAre("process 303", "title 303", "process 303", "process 303", "process 101", "title 101"));
}

TEST_F(ActivityTrackerTest, AWindowThatGoesWhileItsApplicationIsProvisionalIsAskedForNoMore) {
    windows.provisionalApplication = "framehost";
    windows.create(windowC, "framehost", "Calculator");
    focusAt(windowC, 100.0F);
    focusAt(windowA, 105.0F);
    windows.destroy(windowC);
    focusAt(windowA, 106.0F);
    windows.probed.clear();
    // The same handle, for a window of another program, is read afresh.
    windows.create(windowC, "mail", "Inbox");
    focusAt(windowC, 107.0F);
    focusAt(windowC, 108.0F);
    EXPECT_THAT(windows.probed, ElementsAre("process 303", "title 303"));
    EXPECT_THAT(rowOf(tracker.usageLog(), 1),
                ElementsAre("framehost", "Calculator", "0", "5", "00:00:00 - 00:00:05", "5"));
}

TEST_F(ActivityTrackerTest, RoundsLengthsToWholeSecondsTiesToEven) {
    struct Case {
        float start;
        float end;
        const char* total;
    };
    // now = round(end); length = round(now - start).
    for (const Case& c : {Case{100.25F, 112.62F, "13"}, Case{100.25F, 112.5F, "12"}, Case{100.5F, 113.0F, "12"},
                          Case{100.5F, 114.0F, "14"}, Case{200.0F, 200.4F, "0"}}) {
        const std::size_t before = tracker.usageLog().rowCount();
        stretch(windowA, c.start, c.end);
        ASSERT_EQ(tracker.usageLog().rowCount(), before + 1);
        EXPECT_EQ(tracker.usageLog().text(before + 1, LogColumn::Total), c.total) << c.start << " to " << c.end;
    }
}

TEST_F(ActivityTrackerTest, RunningCountChainsTheRows) {
    stretch(windowA, 1000.0F, 1012.0F);
    stretch(windowA, 2000.0F, 2030.0F);
    windows.create(windowC, "terminal", "Notes - Editor");
    stretch(windowC, 3000.0F, 3005.0F);

    EXPECT_EQ(logRows(), (Rows{{"editor", "Notes - Editor", "0", "12", "00:00:00 - 00:00:12", "12"},
                               {"editor", "Notes - Editor", "12", "42", "00:00:12 - 00:00:42", "30"},
                               {"terminal", "Notes - Editor", "42", "47", "00:00:42 - 00:00:47", "5"}}));
    // One row for the title, keeping the application of its first stretch.
    EXPECT_EQ(totalRows(), (Rows{{"editor", "Notes - Editor", "00:00:47", "47"}}));
}

TEST_F(ActivityTrackerTest, TitlesAreComparedExactly) {
    windows.create(windowC, "editor", "notes - editor");
    stretch(windowA, 10.0F, 20.0F);
    stretch(windowC, 30.0F, 35.0F);
    EXPECT_EQ(totalRows(),
              (Rows{{"editor", "Notes - Editor", "00:00:10", "10"}, {"editor", "notes - editor", "00:00:05", "5"}}));
    EXPECT_EQ(tracker.findTotalsRow("notes - editor"), 2U);
    EXPECT_EQ(tracker.findTotalsRow("Notes - Editor "), 0U);
    EXPECT_EQ(tracker.findTotalsRow(""), 0U);
}

TEST_F(ActivityTrackerTest, UntitledWindowsAreFollowedButNeverLogged) {
    windows.create(windowC, "panel", "");
    stretch(windowC, 10.0F, 20.0F);
    EXPECT_EQ(openRows(), (Rows{{"303", "panel", "", "10", "20"}}));
    EXPECT_EQ(tracker.usageLog().rowCount(), 0U);
    EXPECT_EQ(tracker.totals().rowCount(), 0U);
    EXPECT_EQ(tracker.loggedSeconds(), -1);

    // A later title does not change how the window was named.
    windows.setTitle(windowC, "Now titled");
    stretch(windowC, 30.0F, 40.0F);
    EXPECT_EQ(tracker.usageLog().rowCount(), 0U);
}

TEST_F(ActivityTrackerTest, AWindowKeepsTheTitleItFirstHad) {
    focusAt(windowA, 10.0F);
    windows.setTitle(windowA, "Renamed");
    focusAt(windowB, 15.0F);
    focusAt(windowA, 20.0F);
    focusAt(mainWindow, 22.0F);
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::WindowTitle), "Notes - Editor");
    EXPECT_EQ(tracker.usageLog().text(3, LogColumn::WindowTitle), "Notes - Editor");
    EXPECT_EQ(tracker.findTotalsRow("Renamed"), 0U);
}

TEST_F(ActivityTrackerTest, TheMainWindowsOwnTimeIsNotRecorded) {
    focusAt(windowA, 10.0F);
    focusAt(mainWindow, 15.0F);
    EXPECT_EQ(tracker.usageLog().rowCount(), 1U);
    focusAt(windowB, 100.0F);
    EXPECT_EQ(tracker.usageLog().rowCount(), 1U);
    EXPECT_EQ(tracker.openStretches().rowCount(), 2U);
    focusAt(windowA, 104.0F);
    EXPECT_EQ(tracker.loggedSeconds(), 5 + 4);

    tracker.logStretch(mainWindow);
    tracker.logStretch(0);
    EXPECT_EQ(tracker.usageLog().rowCount(), 2U);
}

TEST_F(ActivityTrackerTest, NoForegroundWindowIsNoChange) {
    focusAt(windowA, 10.0F);
    focusAt(0, 20.0F);
    EXPECT_EQ(tracker.lastForeground(), windowA);
    focusAt(windowA, 30.0F);
    EXPECT_EQ(tracker.openStretches().text(1, OpenColumn::TimerStart), "10");
    focusAt(windowB, 40.0F);
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::Total), "30");
}

TEST_F(ActivityTrackerTest, VanishedWindowsLeaveAndTheirHandlesComeBackFresh) {
    focusAt(windowA, 10.0F);
    focusAt(windowB, 20.0F);
    windows.destroy(windowA);
    tracker.tick();
    EXPECT_EQ(openRows(), (Rows{{"202", "browser", "News - Browser", "20", ""}}));

    // A new window that is given the old handle is named afresh.
    windows.create(windowA, "mail", "Inbox");
    focusAt(windowA, 30.0F);
    EXPECT_EQ(openRows(), (Rows{{"202", "browser", "News - Browser", "20", "30"}, {"101", "mail", "Inbox", "30", ""}}));
    focusAt(windowB, 33.0F);
    EXPECT_EQ(tracker.totals().text(3, TotalsColumn::WindowTitle), "Inbox");
}

TEST_F(ActivityTrackerTest, ManyWindowsVanishingAtOnceAreAllPurged) {
    for (WindowHandle h = 1000; h < 1050; ++h) {
        windows.create(h, "app", "Window " + std::to_string(h));
        focusAt(h, static_cast<float>(h));
    }
    for (WindowHandle h = 1000; h < 1049; h += 2) {
        windows.destroy(h);
    }
    tracker.tick();
    ASSERT_EQ(tracker.openStretches().rowCount(), 25U);
    for (std::size_t row = 1; row <= tracker.openStretches().rowCount(); ++row) {
        EXPECT_TRUE(windows.isWindow(handleFromText(tracker.openStretches().text(row, OpenColumn::Handle))));
    }
}

TEST_F(ActivityTrackerTest, AStretchAcrossMidnightIsMeasuredAcrossIt) {
    stretch(windowA, 86390.0F, 5.0F);
    EXPECT_THAT(rowOf(tracker.usageLog(), 1),
                ElementsAre("editor", "Notes - Editor", "0", "15", "00:00:00 - 00:00:15", "15"));
    // And the next stretch, wholly after midnight, is ordinary again.
    stretch(windowB, 10.0F, 20.0F);
    EXPECT_EQ(tracker.usageLog().text(2, LogColumn::Total), "10");
    EXPECT_EQ(tracker.loggedSeconds(), 25);
}

TEST_F(ActivityTrackerTest, AStretchOfAFewMillisecondsNeverComesOutNegativeOrADayLong) {
    // The text of "Timer Start" keeps 7 significant digits, so it can read back
    // a touch later than the fresh clock reading of the same moment.
    focusAt(windowA, 612.49997F);
    EXPECT_EQ(tracker.openStretches().text(1, OpenColumn::TimerStart), "612.5");
    focusAt(windowB, 612.49997F);
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::Total), "0");
    EXPECT_EQ(tracker.loggedSeconds(), 0);
}

TEST_F(ActivityTrackerTest, DurationsPastNineHoursKeepCounting) {
    stretch(windowA, 100.0F, 40100.0F);
    EXPECT_THAT(rowOf(tracker.usageLog(), 1),
                ElementsAre("editor", "Notes - Editor", "0", "40000", "00:00:00 - 11:06:40", "40000"));
    EXPECT_THAT(rowOf(tracker.totals(), 1), ElementsAre("editor", "Notes - Editor", "11:06:40", "40000"));

    // A day's worth more under the same title, over several stretches.
    for (int i = 0; i < 4; ++i) {
        stretch(windowA, 41000.0F, 41000.0F + 12000.0F);
        stretch(windowB, 60000.0F, 60000.0F + 9600.0F);
    }
    EXPECT_EQ(tracker.loggedSeconds(), 40000 + 4 * (12000 + 9600));
    EXPECT_EQ(tracker.usageLog().text(9, LogColumn::Time), "32:26:40 - 35:06:40");
    EXPECT_THAT(rowOf(tracker.totals(), 1), ElementsAre("editor", "Notes - Editor", "24:26:40", "88000"));
    EXPECT_THAT(rowOf(tracker.totals(), 2), ElementsAre("browser", "News - Browser", "10:40:00", "38400"));
}

TEST_F(ActivityTrackerTest, AFocusedWindowThatIsClosedHasItsLastStretchLogged) {
    focusAt(windowA, 100.0F);
    clock.now = 130.0F;
    windows.destroy(windowA); // nothing holds the foreground now
    tracker.tick();

    EXPECT_EQ(tracker.openStretches().rowCount(), 0U);
    EXPECT_EQ(logRows(), (Rows{{"editor", "Notes - Editor", "0", "30", "00:00:00 - 00:00:30", "30"}}));
    EXPECT_EQ(tracker.lastForeground(), 0);

    // A new window that gets the same handle value is a change like any other.
    windows.create(windowA, "mail", "Inbox");
    focusAt(windowA, 140.0F);
    focusAt(windowB, 150.0F);
    EXPECT_EQ(tracker.usageLog().rowCount(), 2U);
    EXPECT_THAT(rowOf(tracker.usageLog(), 2), ElementsAre("mail", "Inbox", "30", "40", "00:00:30 - 00:00:40", "10"));
}

TEST_F(ActivityTrackerTest, AClosedWindowWhoseSuccessorIsAlreadyFocusedIsLoggedOnce) {
    focusAt(windowA, 100.0F);
    windows.destroy(windowA);
    focusAt(windowB, 110.0F);
    EXPECT_EQ(tracker.usageLog().rowCount(), 1U);
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::Total), "10");
    EXPECT_EQ(tracker.lastForeground(), windowB);
    EXPECT_EQ(tracker.openStretches().rowCount(), 1U);
}

TEST_F(ActivityTrackerTest, AWindowClosedAfterLosingTheForegroundIsNotLoggedTwice) {
    focusAt(windowA, 100.0F);
    focusAt(windowB, 110.0F);
    windows.destroy(windowA);
    clock.now = 111.0F;
    tracker.tick();
    EXPECT_EQ(tracker.usageLog().rowCount(), 1U);
    EXPECT_EQ(tracker.loggedSeconds(), 10);
}

TEST_F(ActivityTrackerTest, AWindowClosedButStillReportedAsForegroundIsNotLoggedAgain) {
    focusAt(windowA, 100.0F);
    windows.destroyKeepingForeground(windowA);
    clock.now = 105.0F;
    for (int i = 0; i < 5; ++i) {
        tracker.tick();
    }
    EXPECT_EQ(tracker.usageLog().rowCount(), 1U);
    EXPECT_EQ(tracker.loggedSeconds(), 5);
    EXPECT_EQ(tracker.openStretches().rowCount(), 0U);
}

/// Window A's stretch while the wall clock does something other than run
/// evenly, then an ordinary stretch of 4 s of window B.
struct WallClockCase {
    const char* name;
    float opensAt;
    double before; // seconds that pass before the wall clock moves
    double step;   // how far the wall clock moves with no time passing
    double after;  // seconds that pass after it
    const char* length;
    const char* lengthTime;
    const char* end; // where B's row ends on the running count
    const char* endTime;
};

void PrintTo(const WallClockCase& c, std::ostream* out) {
    *out << c.name;
}

class WallClockTest : public ActivityTrackerTest, public ::testing::WithParamInterface<WallClockCase> {};

TEST_P(WallClockTest, LengthsAreTheTimeThatReallyPassed) {
    const WallClockCase& c = GetParam();
    focusAt(windowA, c.opensAt);
    clock.pass(c.before);
    clock.step(c.step);
    clock.pass(c.after);
    focusNow(windowB);
    clock.pass(4.0);
    focusNow(mainWindow);

    const std::string length = c.length;
    const std::string lengthTime = c.lengthTime;
    EXPECT_EQ(logRows(), (Rows{{"editor", "Notes - Editor", "0", length, "00:00:00 - " + lengthTime, length},
                               {"browser", "News - Browser", length, c.end, lengthTime + " - " + c.endTime, "4"}}));
    EXPECT_EQ(totalRows(),
              (Rows{{"editor", "Notes - Editor", lengthTime, length}, {"browser", "News - Browser", "00:00:04", "4"}}));
    EXPECT_EQ(tracker.loggedSeconds(), std::stoll(c.end));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, WallClockTest,
    ::testing::Values(
        // As NTP corrects a clock that ran fast: 3 s, not 86,398.
        WallClockCase{"SetBackFiveSeconds", 36000.0F, 1.0, -5.0, 2.0, "3", "00:00:03", "7", "00:00:07"},
        WallClockCase{"JumpsForwardEightHours", 36000.0F, 1.0, 8 * 3600.0, 1.0, "2", "00:00:02", "6", "00:00:06"},
        // 02:00 becomes 03:00, and 03:00 becomes 02:00 again.
        WallClockCase{"SummerTimeBegins", 7000.0F, 200.0, 3600.0, 400.0, "600", "00:10:00", "604", "00:10:04"},
        WallClockCase{"SummerTimeEnds", 10000.0F, 800.0, -3600.0, 400.0, "1200", "00:20:00", "1204", "00:20:04"},
        // Flying west over six time zones.
        WallClockCase{"TimeZoneChanges", 50000.0F, 30.0, -6 * 3600.0, 15.0, "45", "00:00:45", "49", "00:00:49"},
        WallClockCase{"Midnight", 86390.0F, 15.0, 0.0, 0.0, "15", "00:00:15", "19", "00:00:19"},
        WallClockCase{"ThirtyHours", 43200.0F, 30 * 3600.0, 0.0, 0.0, "108000", "30:00:00", "108004", "30:00:04"},
        // Asleep from 23:00:01 to 07:00:01: the steady clock stood still.
        WallClockCase{"EightHoursAsleep", 82800.0F, 1.0, 8 * 3600.0, 1.0, "2", "00:00:02", "6", "00:00:06"}),
    [](const ::testing::TestParamInfo<WallClockCase>& param) { return std::string(param.param.name); });

/// While the session is locked no window holds the foreground.
class LockedSessionTest : public ActivityTrackerTest {
protected:
    /// Locks or unlocks the session after seconds pass, and runs one tick.
    void lockAfter(double seconds, bool locked) {
        clock.pass(seconds);
        windows.lock(locked);
        tracker.tick();
    }
};

TEST_F(LockedSessionTest, TheStretchEndsAtTheLockAndTheSameWindowOpensANewOneAtUnlock) {
    focusAt(windowA, 36000.25F);
    lockAfter(30.0, true);
    EXPECT_EQ(openRows(), (Rows{{"101", "editor", "Notes - Editor", "36000.25", "36030.25"}}));
    // Ten minutes at the lock screen, ticking as the front end does.
    for (int i = 0; i < 600; ++i) {
        lockAfter(1.0, true);
    }
    EXPECT_EQ(tracker.usageLog().rowCount(), 1U);
    lockAfter(0.5, false);
    clock.pass(20.0);
    focusNow(windowB);

    EXPECT_EQ(logRows(), (Rows{{"editor", "Notes - Editor", "0", "30", "00:00:00 - 00:00:30", "30"},
                               {"editor", "Notes - Editor", "30", "50", "00:00:30 - 00:00:50", "20"}}));
    EXPECT_EQ(totalRows(), (Rows{{"editor", "Notes - Editor", "00:00:50", "50"}}));
    EXPECT_EQ(tracker.loggedSeconds(), 50);
}

TEST_F(LockedSessionTest, AnotherWindowInFrontAfterUnlockingOpensTheNextStretch) {
    focusAt(windowA, 100.0F);
    lockAfter(12.0, true);
    windows.focus(windowB); // the foreground moves behind the lock screen
    lockAfter(3600.0, true);
    lockAfter(1.0, false);
    clock.pass(7.0);
    focusNow(mainWindow);

    EXPECT_EQ(logRows(), (Rows{{"editor", "Notes - Editor", "0", "12", "00:00:00 - 00:00:12", "12"},
                               {"browser", "News - Browser", "12", "19", "00:00:12 - 00:00:19", "7"}}));
    EXPECT_EQ(totalRows(),
              (Rows{{"editor", "Notes - Editor", "00:00:12", "12"}, {"browser", "News - Browser", "00:00:07", "7"}}));
}

TEST_F(LockedSessionTest, AWindowClosedWhileLockedIsNotLoggedAgain) {
    focusAt(windowA, 100.0F);
    lockAfter(10.0, true);
    windows.destroy(windowA);
    lockAfter(100.0, true);
    EXPECT_EQ(tracker.openStretches().rowCount(), 0U);
    lockAfter(1.0, false);
    focusAt(windowB, 220.0F);
    focusAt(mainWindow, 224.0F);

    EXPECT_EQ(logRows(), (Rows{{"editor", "Notes - Editor", "0", "10", "00:00:00 - 00:00:10", "10"},
                               {"browser", "News - Browser", "10", "14", "00:00:10 - 00:00:14", "4"}}));
}

TEST_F(ActivityTrackerTest, TotalsGrowPastA16BitRowCount) {
    ActivityTable& totals = tracker.totals();
    for (int i = 1; i <= 32999; ++i) {
        totals.addRow({"app", "title " + std::to_string(i), "00:00:01", "1"});
    }
    tracker.addToTotals("app", "title 33000", 1);
    ASSERT_EQ(tracker.totals().rowCount(), 33000U);
    EXPECT_EQ(tracker.findTotalsRow("title 33000"), 33000U);
    tracker.addToTotals("other", "title 33000", 100000);
    EXPECT_EQ(tracker.totals().rowCount(), 33000U);
    EXPECT_THAT(rowOf(tracker.totals(), 33000), ElementsAre("app", "title 33000", "27:46:41", "100001"));
}

} // namespace
} // namespace dwellmark
