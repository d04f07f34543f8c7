// The program itself on a private X server with openbox, its usage log read
// back over AT-SPI as a screen reader sees it: the window the user left is
// logged under its application and title, the program's own window never.
#include "readbacksession.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;

TEST(ReadBack, TheUsageLogShowsTheWindowsTheUserLeft) {
    ReadBackSession session(DWELLMARK_PROGRAM);
    const std::string failure = session.waitForMainWindow();
    ASSERT_EQ(failure, "");
    TestDesktop& user = session.user();
    const std::uint32_t main = session.mainWindow();
    ASSERT_TRUE(session.activate(main));
    // Windows of this process: the program names them after its executable.
    // The second one's title is UTF-8, as modern clients set it.
    const std::uint32_t alpha = user.createWindow("Alpha", true);
    const std::uint32_t omega = user.createWindow("Omega", true);
    user.setText(omega, "_NET_WM_NAME", "UTF8_STRING", "\xCE\xA9mega");

    const auto logHas = [&](const std::string& title) {
        return session.read() && std::any_of(session.logRows().begin(), session.logRows().end(),
                                             [&](const auto& row) { return row.size() > 1 && row[1] == title; });
    };
    // The program samples the foreground: a window that holds it only for a
    // moment may pass unseen. The user goes to the window and back to the
    // main window until its stretch is logged.
    const auto visit = [&](std::uint32_t window, const std::string& title) {
        return eventually(
            [&] {
                return session.activate(window) && session.activate(main) &&
                       eventually([&] { return logHas(title); }, 5s);
            },
            120s);
    };
    ASSERT_TRUE(visit(alpha, "Alpha")) << session.describe();
    ASSERT_TRUE(visit(omega, "\xCE\xA9mega")) << session.describe();

    const AccessibleApplication& shown = session.shown();
    const std::string ours = program_invocation_short_name;
    long running = 0;
    for (const auto& row : shown.tables[0].rows) {
        ASSERT_EQ(row.size(), 6U);
        EXPECT_EQ(row[0], ours);
        EXPECT_TRUE(row[1] == "Alpha" || row[1] == "\xCE\xA9mega") << row[1];
        // Each stretch starts where the one before ended.
        EXPECT_EQ(row[2], std::to_string(running));
        running = std::stol(row[3]);
    }
    EXPECT_EQ(shown.tables[1].rows.size(), 2U) << session.describe();
}

} // namespace
} // namespace dwellmark::testing
