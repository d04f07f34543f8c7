// The tests' child processes: what one wrote to standard error is there to be
// told at once, whether it still runs, has ended, or left something running.
#include "childprocess.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <string>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;

TEST(ChildProcessErrorOutput, IsReadWhileTheProgramStillRuns) {
    ChildProcess child({"/bin/sh", "-c",
                        "echo first >&2; echo ready; read line; echo second >&2; echo again; "
                        "exec sleep 600"});
    ASSERT_EQ(child.readLine(60s), "ready");
    EXPECT_EQ(child.errorOutput(), "first\n");
    child.writeLine("go on");
    ASSERT_EQ(child.readLine(60s), "again");
    EXPECT_EQ(child.errorOutput(), "first\nsecond\n");
    EXPECT_FALSE(child.waitForExit(0ms).has_value());
}

TEST(ChildProcessErrorOutput, IsReadWhenWhatTheProgramStartedKeepsThePipe) {
    ChildProcess child({"/bin/sh", "-c", "echo leaving >&2; sleep 600 & echo $!"});
    const auto left = child.readLine(60s);
    ASSERT_TRUE(left.has_value());
    ASSERT_TRUE(child.waitForExit(60s).has_value());
    EXPECT_EQ(child.errorOutput(), "leaving\n");
    kill(std::stoi(*left), SIGKILL);
}

TEST(ChildProcessErrorOutput, DoesNotStopAProgramThatSaysMoreThanAPipeHolds) {
    ChildProcess child({"/bin/sh", "-c", "head -c 300000 /dev/zero | tr '\\0' x >&2"});
    const auto status = child.waitForExit(60s);
    ASSERT_TRUE(status.has_value()) << "the program is stopped by its full standard error";
    EXPECT_EQ(child.errorOutput(), std::string(300000, 'x'));
}

} // namespace
} // namespace dwellmark::testing
