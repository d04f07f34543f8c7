// The program itself on a private X server with openbox, its usage log read
// back over AT-SPI as a screen reader sees it: the window the user left is
// logged under its application and title, the program's own window never.
#include "readbacksession.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>

namespace dwellmark::testing {
namespace {

TEST(ReadBack, TheUsageLogShowsTheWindowsTheUserLeft) {
    ReadBackSession session(DWELLMARK_PROGRAM);
    ASSERT_EQ(session.waitForMainWindow(), "");
    const std::uint32_t main = session.mainWindow();
    ASSERT_TRUE(session.activate(main));
    // Windows of this process: the program names them after its executable.
    // The second one's title is UTF-8, as modern clients set it.
    const std::uint32_t alpha = session.user().createWindow("Alpha", true);
    const std::uint32_t omega = session.user().createWindow("Omega", true);
    session.user().setText(omega, "_NET_WM_NAME", "UTF8_STRING", "\xCE\xA9mega");

    // The user goes to each window and back to the main window until its stretch is logged.
    ASSERT_TRUE(session.openStretchOf(alpha, main, "Alpha")) << session.describe();
    ASSERT_TRUE(session.openStretchOf(omega, main, "\xCE\xA9mega")) << session.describe();

    const AccessibleApplication& shown = session.shown();
    long running = 0;
    for (const auto& row : shown.tables[0].rows) {
        ASSERT_EQ(row.size(), 6U);
        EXPECT_EQ(row[0], program_invocation_short_name);
        EXPECT_TRUE(row[1] == "Alpha" || row[1] == "\xCE\xA9mega") << row[1];
        // Each stretch starts where the one before ended.
        EXPECT_EQ(row[2], std::to_string(running));
        running = std::stol(row[3]);
    }
    EXPECT_EQ(shown.tables[1].rows.size(), 2U) << session.describe();
}

} // namespace
} // namespace dwellmark::testing
