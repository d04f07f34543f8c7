// A month of use in one go: a million foreground changes over 30 simulated days
// with midnights, windows coming and going, handles reused and titles of every
// shape. Afterwards the lists must agree with each other and with what really
// happened on the simulated desktop.
#include "fakes.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"
#include "tracking/formattime.h"
#include "tracking/textforms.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace dwellmark {
namespace {

using testing::FakeClock;
using testing::FakeWindowSystem;

constexpr WindowHandle mainWindow = 7;
constexpr std::int64_t secondsPerDay = 86400;

std::int64_t wholeNumber(std::string_view text) {
    return static_cast<std::int64_t>(leadingNumber(text));
}

std::vector<std::string> makeTitles(std::mt19937& random) {
    std::vector<std::string> titles;
    titles.emplace_back(); // untitled windows
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 1; i < 400; ++i) {
        std::string title = "Window " + std::to_string(i);
        if (i % 50 == 0) {
            title.append(static_cast<std::size_t>(4000 + i), 'x'); // very long titles, up to 5,000 characters
        } else if (i % 7 == 0) {
            title += '\0';
            title += "after a NUL";
        } else if (i % 11 == 0) {
            title += "\xff\xfe broken \xc3"; // not UTF-8
        } else if (i % 13 == 0) {
            for (int k = 0; k < 20; ++k) {
                title += static_cast<char>(byte(random));
            }
        } else if (i % 17 == 0) {
            title = "window " + std::to_string(i - 1); // differs from another only in case
        }
        titles.push_back(std::move(title));
    }
    return titles;
}

TEST(Soak, AMonthOfForegroundChangesKeepsTheListsConsistent) {
    std::mt19937 random(20261207);
    FakeWindowSystem windows;
    FakeClock clock;
    ActivityTracker tracker(windows, clock);
    tracker.setMainWindow(mainWindow);
    windows.create(mainWindow, "dwellmark", "Dwellmark");

    const std::vector<std::string> titles = makeTitles(random);
    std::uniform_int_distribution<std::size_t> pickTitle(0, titles.size() - 1);
    std::uniform_int_distribution<WindowHandle> pickHandle(100, 180);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> pause(1, 2);

    // What really happened: the title each live window had when it first took
    // the foreground, and the seconds each title really held it.
    std::map<WindowHandle, std::string> firstTitle;
    std::map<WindowHandle, bool> seen;
    std::map<std::string, std::int64_t> trueSeconds;
    WindowHandle focused = 0; // the window whose stretch is open, 0 when none
    std::int64_t focusedSince = 0;
    WindowHandle reported = 0; // the last non-zero foreground the tracker was shown

    std::int64_t now = 12 * 3600; // noon of day 0
    const std::int64_t end = now + 30 * secondsPerDay;
    long changes = 0;
    auto closeFocused = [&] {
        if (focused != 0 && focused != mainWindow && !firstTitle[focused].empty()) {
            trueSeconds[firstTitle[focused]] += now - focusedSince;
        }
        focused = 0;
    };

    while (changes < 1'000'000) {
        now += pause(random);
        clock.now = static_cast<float>(now % secondsPerDay); // whole seconds are exact in a float
        const int dice = percent(random);
        if (dice < 10) {
            // A window closes and a new one is given its handle at once.
            const WindowHandle h = pickHandle(random);
            windows.destroy(h);
            if (focused == h) {
                closeFocused();
                reported = 0;
            }
            tracker.tick();
            windows.create(h, "app" + std::to_string(h % 9), titles[pickTitle(random)]);
            seen[h] = false;
        } else if (dice < 14) {
            const WindowHandle h = pickHandle(random);
            windows.destroy(h);
            seen.erase(h);
            if (focused == h) {
                closeFocused();
                reported = 0;
            }
        } else if (dice < 16) {
            const WindowHandle h = pickHandle(random);
            if (seen.count(h) != 0) {
                windows.setTitle(h, titles[pickTitle(random)]);
            }
        } else {
            WindowHandle h = dice < 20 ? mainWindow : pickHandle(random);
            if (h != mainWindow && seen.count(h) == 0) {
                h = 0; // no such window: nothing holds the foreground
            }
            windows.focus(h);
            if (h != 0 && h != reported) {
                closeFocused();
                if (h != mainWindow && !seen[h]) {
                    seen[h] = true;
                    firstTitle[h] = windows.getWindowTitle(h);
                }
                focused = h;
                focusedSince = now;
                reported = h;
                ++changes;
            }
        }
        tracker.tick();
    }
    EXPECT_GT(now, end - 5 * secondsPerDay); // about 30 days
    EXPECT_LT(now, end + 5 * secondsPerDay);

    const ActivityTable& log = tracker.usageLog();
    const ActivityTable& totals = tracker.totals();
    const ActivityTable& open = tracker.openStretches();

    // The log is one chain on the running count, each row's texts its numbers' texts.
    std::int64_t position = 0;
    std::map<std::string, std::int64_t> loggedByTitle;
    for (std::size_t row = 1; row <= log.rowCount(); ++row) {
        const std::int64_t start = wholeNumber(log.text(row, LogColumn::TimeStart));
        const std::int64_t stop = wholeNumber(log.text(row, LogColumn::TimeEnd));
        ASSERT_EQ(start, position) << "row " << row;
        ASSERT_GE(stop, start) << "row " << row;
        ASSERT_EQ(log.text(row, LogColumn::Time), formatTime(start) + " - " + formatTime(stop)) << "row " << row;
        ASSERT_EQ(wholeNumber(log.text(row, LogColumn::Total)), stop - start) << "row " << row;
        ASSERT_FALSE(log.text(row, LogColumn::WindowTitle).empty()) << "row " << row;
        loggedByTitle[std::string(log.text(row, LogColumn::WindowTitle))] += stop - start;
        position = stop;
    }
    EXPECT_EQ(tracker.loggedSeconds(), position);
    EXPECT_GT(log.rowCount(), 500'000U);
    EXPECT_GT(tracker.loggedSeconds(), 20 * secondsPerDay);

    // Each totals row is the sum of its log rows, and every title is there once.
    std::int64_t totalOfTotals = 0;
    for (std::size_t row = 1; row <= totals.rowCount(); ++row) {
        const std::string title(totals.text(row, TotalsColumn::WindowTitle));
        const std::int64_t seconds = wholeNumber(totals.text(row, TotalsColumn::TotalSeconds));
        ASSERT_EQ(totals.text(row, TotalsColumn::TotalTime), formatTime(seconds)) << "row " << row;
        ASSERT_EQ(seconds, loggedByTitle[title]) << "row " << row;
        ASSERT_EQ(tracker.findTotalsRow(title), row) << "row " << row;
        totalOfTotals += seconds;
    }
    EXPECT_EQ(totals.rowCount(), loggedByTitle.size());
    EXPECT_EQ(totalOfTotals, tracker.loggedSeconds());

    // And the sums are what the desktop really saw, midnights included.
    EXPECT_EQ(loggedByTitle, trueSeconds);

    // No row is left for a window that has gone.
    for (std::size_t row = 1; row <= open.rowCount(); ++row) {
        EXPECT_TRUE(windows.isWindow(handleFromText(open.text(row, OpenColumn::Handle)))) << "row " << row;
    }
}

} // namespace
} // namespace dwellmark
