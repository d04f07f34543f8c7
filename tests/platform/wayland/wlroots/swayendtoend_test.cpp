// The program itself on a headless sway, watched from outside as a user sees
// it: its window in sway's tree, its log and totals read over AT-SPI while
// other programs' windows take the focus, close and change their titles, and
// how it ends when its window is closed and when sway dies.
#include "accessibilitybus.h"
#include "atspireader.h"
#include "compositortest.h"
#include "platform/wayland/wlroots/swayipc.h"
#include "wlrootssession.h"

#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <regex>
#include <thread>

namespace dwellmark::testing {
namespace {

const std::vector<std::string> logHeaders{"Application", "Window Title", "Time Start", "Time End", "Time", "Total"};
const std::vector<std::string> totalsHeaders{"Application", "Window Title", "Total Time", "Total Seconds"};

// Columns of the two tables, as the headers above name them.
enum Log { Application, Title, Start, End, Time, Total };
enum Totals { TotalsApplication, TotalsTitle, TotalTime, TotalSeconds };

/// A view of sway's tree: what the user's window list shows of a window.
struct View {
    std::string name;
    std::string appId;
    std::string shell;
    long pid = 0;
    bool focused = false;
};

std::string text(const nlohmann::json& node, const char* name) {
    const auto it = node.find(name);
    return it != node.end() && it->is_string() ? it->get<std::string>() : std::string();
}

void collectViews(const nlohmann::json& node, std::vector<View>& into) {
    if (!node.is_object()) {
        return;
    }
    if (const auto pid = node.find("pid"); pid != node.end() && pid->is_number()) {
        const auto focused = node.find("focused");
        into.push_back({text(node, "name"), text(node, "app_id"), text(node, "shell"),
                        static_cast<long>(pid->get<double>()),
                        focused != node.end() && focused->is_boolean() && focused->get<bool>()});
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        if (const auto nodes = node.find(children); nodes != node.end() && nodes->is_array()) {
            for (const nlohmann::json& child : *nodes) {
                collectViews(child, into);
            }
        }
    }
}

std::vector<View> views(const WlrootsSession& sway) {
    platform::wayland::SwayIpc ipc(sway.ipcSocket());
    std::vector<View> found;
    if (const auto tree = ipc.layoutTree()) {
        collectViews(*tree, found);
    }
    return found;
}

/// The view that holds the focus, waited for; its app id, or "" after the limit.
std::string focusedAppId(const WlrootsSession& sway, const std::string& expected) {
    std::string focused;
    eventually(
        [&] {
            for (const View& view : views(sway)) {
                if (view.focused) {
                    focused = view.appId;
                }
            }
            return expected.empty() ? !focused.empty() : focused == expected;
        },
        hang);
    return focused;
}

/// The process's tables as read over AT-SPI, once the log has the rows.
AccessibleApplication readWith(AtspiReader& reader, pid_t pid, std::size_t logRows) {
    AccessibleApplication shown;
    eventually(
        [&] {
            const auto read = reader.application(pid);
            if (read) {
                shown = *read;
            }
            return read && !read->tables.empty() && read->tables.front().rows.size() >= logRows;
        },
        hang);
    return shown;
}

long number(const std::string& text) {
    EXPECT_TRUE(std::regex_match(text, std::regex("-?[0-9]+"))) << "'" << text << "' is no whole number";
    return std::strtol(text.c_str(), nullptr, 10);
}

/// Checks that the text is a duration "hh:mm:ss" of the seconds.
void expectDuration(const std::string& text, long seconds) {
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(text, parts, std::regex("([0-9]{2}):([0-5][0-9]):([0-5][0-9])"))) << text;
    EXPECT_EQ(std::stol(parts[1]) * 3600 + std::stol(parts[2]) * 60 + std::stol(parts[3]), seconds) << text;
}

/// sway, an accessibility bus and the program on both, its window "Dwellmark" up.
class SwayEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sway.ready()) << "sway did not start: " << sway.log();
        ASSERT_TRUE(bus.ready()) << "the accessibility bus did not start";
        std::vector<std::string> environment = sway.clientEnvironment();
        const std::vector<std::string> onBus = bus.clientEnvironment();
        environment.insert(environment.end(), onBus.begin(), onBus.end());
        // The program picks its backend and Qt's platform itself.
        environment.insert(environment.end(), {"-QT_QPA_PLATFORM", "-XDG_SESSION_TYPE", "-XDG_CURRENT_DESKTOP"});
        program = std::make_unique<ChildProcess>(std::vector<std::string>{DWELLMARK_PROGRAM}, environment);
        const bool shown = program->reaches(
            [&] {
                for (const View& view : views(sway)) {
                    if (view.name == "Dwellmark" && view.pid == program->pid()) {
                        window = view;
                        return true;
                    }
                }
                return false;
            },
            hang);
        ASSERT_TRUE(shown) << "no window \"Dwellmark\" of the program: " << program->errorOutput();
    }

    WlrootsSession sway;
    AccessibilityBus bus;
    std::unique_ptr<ChildProcess> program;
    /// Its main window in sway's tree.
    View window;
};

TEST_F(SwayEndToEnd, TheLogAndTotalsShowEverySwitchAsTheUserMadeIt) {
    // Native on Wayland: an xdg-shell view with the program's own app id, not an Xwayland window.
    EXPECT_EQ(window.shell, "xdg_shell");
    EXPECT_EQ(window.appId, "dwellmark");
    ASSERT_EQ(focusedAppId(sway, "dwellmark"), "dwellmark");

    AtspiReader reader(bus.accessibilityAddress());
    ASSERT_TRUE(reader.connected());
    AccessibleApplication shown = readWith(reader, program->pid(), 0);
    EXPECT_EQ(shown.name, "Dwellmark");
    // The two lists the user sees, empty; the open-interval list is never shown.
    ASSERT_EQ(shown.tables.size(), 2U);
    EXPECT_EQ(shown.tables[0].headers, logHeaders);
    EXPECT_EQ(shown.tables[1].headers, totalsHeaders);
    EXPECT_TRUE(shown.tables[0].rows.empty());
    EXPECT_TRUE(shown.tables[1].rows.empty());

    const std::vector<std::string> environment = sway.clientEnvironment();
    const std::string alphaId = "dwellmark.e2e.alpha";
    const std::string omegaId = "dwellmark.e2e.omega";
    const auto focus = [&](const std::string& appId) {
        EXPECT_TRUE(sway.command("[app_id=\"^" + appId + "$\"] focus"));
        EXPECT_EQ(focusedAppId(sway, appId), appId);
    };
    // Not a check of any length: stretches likely to be logged as more than
    // 0 seconds, so that the sums below add something up.
    const auto dwell = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1500)); };
    std::vector<std::string> expectedTitles;
    const auto expectLogged = [&](const std::string& title) {
        expectedTitles.push_back(title);
        shown = readWith(reader, program->pid(), expectedTitles.size());
        ASSERT_EQ(shown.tables.size(), 2U);
        ASSERT_EQ(shown.tables[0].rows.size(), expectedTitles.size()) << "after the switch away from " << title;
    };

    // A new window takes the focus; leaving it for the main window logs it,
    // the main window's own time never.
    auto alpha = openWindow(environment, alphaTitle, alphaId);
    ASSERT_EQ(focusedAppId(sway, alphaId), alphaId);
    dwell();
    focus("dwellmark");
    ASSERT_NO_FATAL_FAILURE(expectLogged(alphaTitle));

    // The second window opens from the first, which is logged on the same
    // change that has the program read the newcomer's title. Its title then
    // changes: it stays logged under the first.
    focus(alphaId);
    auto omega = openWindow(environment, omegaTitle, omegaId, omegaLater);
    ASSERT_EQ(focusedAppId(sway, omegaId), omegaId);
    ASSERT_NO_FATAL_FAILURE(expectLogged(alphaTitle));
    ::kill(omega->pid(), SIGUSR1);
    ASSERT_EQ(omega->readLine(hang), std::optional<std::string>("retitled"));
    dwell();
    focus(alphaId);
    ASSERT_NO_FATAL_FAILURE(expectLogged(omegaTitle));
    focus(omegaId);
    ASSERT_NO_FATAL_FAILURE(expectLogged(alphaTitle));

    // Closed while it holds the focus: its last stretch is logged all the same.
    ASSERT_TRUE(sway.command("[app_id=\"^" + omegaId + "$\"] kill"));
    ASSERT_TRUE(omega->waitForExit(hang).has_value()) << "the window did not close";
    ASSERT_NO_FATAL_FAILURE(expectLogged(omegaTitle));
    // sway gives the focus to a window of its choice; the main window ends the last stretch.
    if (focusedAppId(sway, "") == alphaId) {
        focus("dwellmark");
        ASSERT_NO_FATAL_FAILURE(expectLogged(alphaTitle));
    }

    const auto& log = shown.tables[0].rows;
    long running = 0;
    std::map<std::string, long> perTitle;
    for (std::size_t row = 0; row < log.size(); ++row) {
        SCOPED_TRACE("log row " + std::to_string(row + 1));
        ASSERT_EQ(log[row].size(), logHeaders.size());
        EXPECT_EQ(log[row][Application], processName);
        EXPECT_EQ(log[row][Title], expectedTitles[row]);
        // Each stretch starts where the one before ended, on the running count of logged time.
        const long start = number(log[row][Start]);
        const long end = number(log[row][End]);
        EXPECT_EQ(start, running);
        EXPECT_EQ(number(log[row][Total]), end - start);
        EXPECT_GE(end - start, 0);
        const auto dash = log[row][Time].find(" - ");
        ASSERT_NE(dash, std::string::npos) << log[row][Time];
        expectDuration(log[row][Time].substr(0, dash), start);
        expectDuration(log[row][Time].substr(dash + 3), end);
        running = end;
        perTitle[log[row][Title]] += end - start;
    }

    // One totals row per title, holding the sum of that title's lengths in the log.
    const auto& totals = shown.tables[1].rows;
    ASSERT_EQ(totals.size(), perTitle.size());
    for (const auto& row : totals) {
        SCOPED_TRACE("totals row " + row[TotalsTitle]);
        ASSERT_EQ(row.size(), totalsHeaders.size());
        EXPECT_EQ(row[TotalsApplication], processName);
        ASSERT_EQ(perTitle.count(row[TotalsTitle]), 1U);
        EXPECT_EQ(number(row[TotalSeconds]), perTitle[row[TotalsTitle]]);
        expectDuration(row[TotalTime], perTitle[row[TotalsTitle]]);
    }
    for (const auto& table : shown.tables) {
        for (const auto& row : table.rows) {
            for (const std::string& cell : row) {
                EXPECT_NE(cell, "Dwellmark");
                EXPECT_NE(cell, omegaLater);
            }
        }
    }

    // Closing the window, as its close box does, ends the program well.
    ASSERT_TRUE(sway.command("[title=\"^Dwellmark$\"] kill"));
    expectEnds(*program, 0, "", "its window was closed");
}

TEST_F(SwayEndToEnd, TheProgramEndsWithOneLineWhenSwayDies) {
    sway.kill();
    expectEnds(*program, 1, lostCompositor, "sway died");
}

} // namespace
} // namespace dwellmark::testing
