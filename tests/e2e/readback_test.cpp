// The program itself on a private X server with openbox, its usage log read
// back over AT-SPI as a screen reader sees it: the window the user left is
// logged under its application and title, the program's own window never.
#include "accessibilitybus.h"
#include "atspireader.h"
#include "childprocess.h"
#include "privatedisplay.h"
#include "testdesktop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;

std::string describe(const AccessibleApplication& shown) {
    std::string text;
    for (const auto& table : shown.tables) {
        for (const auto& row : table.rows) {
            text += "\n ";
            for (const auto& cell : row) {
                text += " [" + cell + "]";
            }
        }
    }
    return text;
}

TEST(ReadBack, TheUsageLogShowsTheWindowsTheUserLeft) {
    PrivateDisplay desktop;
    AccessibilityBus bus;
    ASSERT_TRUE(bus.ready()) << "the accessibility bus did not start";
    std::vector<std::string> environment = bus.clientEnvironment();
    for (const char* entry :
         {"XDG_SESSION_TYPE=x11", "-WAYLAND_DISPLAY", "-QT_QPA_PLATFORM", "-SESSION_MANAGER", "-SWAYSOCK"}) {
        environment.emplace_back(entry);
    }
    environment.push_back("DISPLAY=" + desktop.display());
    ChildProcess program({DWELLMARK_PROGRAM}, environment);

    TestDesktop user(desktop.display());
    if (!eventually([&] { return user.findWindow("Dwellmark") != 0; }, 120s)) {
        const auto status = program.waitForExit(0ms);
        FAIL() << "no window \"Dwellmark\"; the program "
               << (status ? "ended, standard error:\n" + program.errorOutput() : std::string("is still running"));
    }
    const auto activate = [&](std::uint32_t window) {
        // A request made before the window manager has taken the window on is
        // lost: made again until it holds.
        return eventually(
            [&] {
                if (user.activeWindow() != window) {
                    user.requestActivation(window);
                    user.sync();
                }
                return user.activeWindow() == window;
            },
            120s);
    };
    const std::uint32_t main = user.findWindow("Dwellmark");
    ASSERT_TRUE(activate(main));
    // Windows of this process: the program names them after its executable.
    // The second one's title is UTF-8, as modern clients set it.
    const std::uint32_t alpha = user.createWindow("Alpha", true);
    const std::uint32_t omega = user.createWindow("Omega", true);
    user.setText(omega, "_NET_WM_NAME", "UTF8_STRING", "\xCE\xA9mega");

    AtspiReader reader(bus.accessibilityAddress());
    AccessibleApplication shown;
    const auto logHas = [&](const std::string& title) {
        const auto read = reader.application(program.pid());
        if (read) {
            shown = *read;
        }
        return read && read->tables.size() == 2 &&
               std::any_of(read->tables[0].rows.begin(), read->tables[0].rows.end(),
                           [&](const auto& row) { return row.size() > 1 && row[1] == title; });
    };
    // The program samples the foreground: a window that holds it only for a
    // moment may pass unseen. The user goes to the window and back to the
    // main window until its stretch is logged.
    const auto visit = [&](std::uint32_t window, const std::string& title) {
        return eventually(
            [&] { return activate(window) && activate(main) && eventually([&] { return logHas(title); }, 5s); }, 120s);
    };
    ASSERT_TRUE(visit(alpha, "Alpha")) << describe(shown);
    ASSERT_TRUE(visit(omega, "\xCE\xA9mega")) << describe(shown);

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
    EXPECT_EQ(shown.tables[1].rows.size(), 2U) << describe(shown);
}

} // namespace
} // namespace dwellmark::testing
