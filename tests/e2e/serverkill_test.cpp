// The X server dies under a running program: the program ends with one line
// on standard error and a failure status, neither hanging nor crashing,
// whatever it was doing at that moment.
#include "childprocess.h"
#include "privatedisplay.h"
#include "scratchfolder.h"
#include "testdesktop.h"
#include "windowfarm.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;

/// Kills the server while windows come and go under the running program, and
/// checks how the program ends: with exactly the given line. The limit of the
/// wait only catches a hang; how soon it ends is no concern of a test.
void killServerUnder(ChildProcess& program, PrivateDisplay& desktop, WindowFarm& farm, unsigned seed,
                     const std::string& line) {
    farm.startChurn(5s, seed);
    std::this_thread::sleep_for(300ms + std::chrono::milliseconds(seed % 7 * 50));
    desktop.killServer();
    const auto status = program.waitForExit(120s);
    ASSERT_TRUE(status.has_value()) << "still running two minutes after the X server died";
    ASSERT_FALSE(WIFSIGNALED(*status)) << "ended by signal " << WTERMSIG(*status)
                                       << (WCOREDUMP(*status) ? " with a core dump" : "");
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_NE(WEXITSTATUS(*status), 0);
    const std::string errors = program.errorOutput();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << "standard error:\n" << errors;
    EXPECT_TRUE(errors.ends_with('\n')) << errors;
    EXPECT_EQ(errors, line + "\n");
    ::testing::Test::RecordProperty("stderr_" + std::to_string(seed), errors.substr(0, errors.find('\n')));
}

/// Three rounds, each on a desktop of its own: start() runs the program on
/// the display, and the server is killed under it.
template <class Start>
void killServerInRounds(unsigned firstSeed, Start start) {
    for (unsigned round = 1; round <= 3 && !::testing::Test::HasFatalFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        PrivateDisplay desktop;
        ScratchFolder runtime("dwellmark-runtime");
        WindowFarm farm(desktop.display());
        std::optional<ChildProcess> program;
        // The environment of a program on the desktop, with a private
        // XDG_RUNTIME_DIR so that Qt has nothing to say at start.
        std::vector<std::string> environment = PrivateDisplay::sessionEnvironment(desktop.display());
        environment.insert(environment.end(),
                           {"XDG_RUNTIME_DIR=" + runtime.path(), "-QT_QPA_PLATFORM", "-SESSION_MANAGER"});
        start(desktop.display(), environment, program);
        if (!::testing::Test::HasFatalFailure()) {
            killServerUnder(*program, desktop, farm, firstSeed + round,
                            "dwellmark: lost the connection to the X server");
        }
    }
}

TEST(ServerKilled, TheProgramEndsWithOneLine) {
    killServerInRounds(0, [](const std::string& display, const std::vector<std::string>& environment,
                             std::optional<ChildProcess>& program) {
        program.emplace(std::vector<std::string>{DWELLMARK_PROGRAM}, environment);
        TestDesktop probe(display);
        // The window need not be taken on by the window manager: what is
        // tested is that the program is up when its server dies.
        if (!eventually([&] { return probe.findMappedWindow("Dwellmark") != 0; }, 120s)) {
            const auto status = program->waitForExit(0ms);
            FAIL() << "the window \"Dwellmark\" did not appear; the program "
                   << (status ? "ended (status " + std::to_string(*status) + "), standard error:\n" +
                                    program->errorOutput()
                              : std::string("is still running"));
        }
    });
}

TEST(ServerKilled, TheTrackerOnTheBackendEndsWithItsLine) {
    killServerInRounds(
        10, [](const std::string&, const std::vector<std::string>& environment, std::optional<ChildProcess>& probe) {
            probe.emplace(std::vector<std::string>{BACKEND_PROBE, "--every-millisecond"}, environment);
            ASSERT_EQ(probe->readLine(120s), "ready");
        });
}

} // namespace
} // namespace dwellmark::testing
