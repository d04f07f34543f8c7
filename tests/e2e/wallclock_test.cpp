// The program itself with its wall clock stepped from outside while it runs,
// as NTP and a night asleep do: libfaketime, preloaded into it, reads the
// clock's offset from a file that the test rewrites, and leaves the monotonic
// clock alone. The usage log, read back over AT-SPI, must hold the time that
// really passed.
#include "readbacksession.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

/// Sets the program's wall clock this far from the real one, in libfaketime's
/// form ("+0", "-5"); renamed into place, so that it never reads half a file.
void setOffset(const std::string& offset) {
    const std::string next = DWELLMARK_OFFSET_FILE ".next";
    std::ofstream(next) << offset << '\n';
    std::filesystem::rename(next, DWELLMARK_OFFSET_FILE);
}

TEST(SteppedWallClock, TheLoggedLengthsAreTheTimeThatReallyPassed) {
    ASSERT_TRUE(std::filesystem::exists(DWELLMARK_LIBFAKETIME)) << "no libfaketime: scripts/deps test installs it";
    setOffset("+0");
    const char* const asan = std::getenv("ASAN_OPTIONS");
    ReadBackSession session(
        DWELLMARK_PROGRAM,
        {"LD_PRELOAD=" DWELLMARK_LIBFAKETIME, "FAKETIME_TIMESTAMP_FILE=" DWELLMARK_OFFSET_FILE, "FAKETIME_NO_CACHE=1",
         "FAKETIME_DONT_FAKE_MONOTONIC=1",
         // Under AddressSanitizer its run-time comes after the preloaded library.
         std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") + ":verify_asan_link_order=0"});
    ASSERT_EQ(session.waitForMainWindow(), "");
    // A test that passes because the clock was never stepped proves nothing.
    std::ifstream maps("/proc/" + std::to_string(session.program().pid()) + "/maps");
    ASSERT_NE(std::string(std::istreambuf_iterator<char>(maps), {}).find("libfaketime"), std::string::npos);
    const auto start = session.putOmegaInFront();
    ASSERT_TRUE(start) << session.describe();
    const auto [main, alpha, omega, omegaAsked, omegaSeen, before] = *start;

    // 3 s in front of Omega, the wall clock set back 5 s on the way; then 2 s
    // in front of Alpha, the wall clock put 8 hours on (as after a night asleep).
    setOffset("-5");
    std::this_thread::sleep_until(omegaSeen + 3s);
    const auto alphaAsked = Clock::now();
    ASSERT_TRUE(session.activate(alpha) && session.logGrows(before, "Omega", 120s)) << session.describe();
    const auto alphaSeen = Clock::now();
    setOffset("+28795");
    std::this_thread::sleep_until(alphaSeen + 2s);
    const auto mainAsked = Clock::now();
    ASSERT_TRUE(session.activate(main) && session.logGrows(before + 1, "Alpha", 120s)) << session.describe();
    const auto mainSeen = Clock::now();

    // A stretch opens and closes between the test's request and the moment
    // the log shows it; the whole-second rule puts it up to a second off.
    const auto& rows = session.logRows();
    ASSERT_EQ(rows.size(), before + 2) << session.describe();
    const auto expectLength = [](const std::vector<std::string>& row, double least, double most) {
        std::cout << row[1] << " logged " << row[5] << " s, really between " << least << " and " << most << " s\n";
        EXPECT_GE(std::stod(row[5]), least - 1.0) << row[1];
        EXPECT_LE(std::stod(row[5]), most + 1.0) << row[1];
    };
    expectLength(rows[before], secondsBetween(omegaSeen, alphaAsked), secondsBetween(omegaAsked, alphaSeen));
    expectLength(rows[before + 1], secondsBetween(alphaSeen, mainAsked), secondsBetween(alphaAsked, mainSeen));
    // The running count goes on from row to row, and the totals are the sums.
    EXPECT_EQ(rows[before + 1][2], rows[before][3]);
    EXPECT_EQ(std::stol(rows[before + 1][3]), std::stol(rows[before][3]) + std::stol(rows[before + 1][5]));
    long sums[2] = {0, 0};
    for (const auto& row : rows) {
        sums[row[1] == "Alpha" ? 0 : 1] += std::stol(row[5]);
    }
    const auto& totals = session.shown().tables[1].rows;
    ASSERT_EQ(totals.size(), 2U) << session.describe();
    for (const auto& row : totals) {
        EXPECT_EQ(std::stol(row.at(3)), sums[row[1] == "Alpha" ? 0 : 1]) << session.describe();
    }
}

} // namespace
} // namespace dwellmark::testing
