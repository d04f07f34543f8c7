// The program itself with a login manager of the test's own on a private system bus: the session locks while a
// window holds the foreground, and unlocks a while later; then a screen saver says it runs. The usage log, read
// back over AT-SPI, must end the window's stretch at the lock and hold none of the locked time.
#include "privatebus.h"
#include "readbacksession.h"
#include "scratchfolder.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <thread>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(LockedScreen, TheStretchEndsAtTheLockAndTheLockedTimeIsNotLogged) {
    ScratchFolder folder("lockedscreen");
    ASSERT_TRUE(folder.made());
    PrivateBus systemBus(folder.path() + "/system_bus_socket");
    ASSERT_TRUE(systemBus.ready()) << "the private system bus did not start";
    const std::string onSystemBus = "DBUS_SYSTEM_BUS_ADDRESS=" + systemBus.address();
    ChildProcess loginManager({FAKE_LOGIN_MANAGER}, {onSystemBus});
    ASSERT_EQ(loginManager.readLine(60s), "ready") << loginManager.errorOutput();
    const auto setLocked = [&](bool locked) {
        loginManager.writeLine(locked ? "lock" : "unlock");
        return loginManager.readLine(60s) == (locked ? "locked" : "unlocked");
    };

    ReadBackSession session(DWELLMARK_PROGRAM, {onSystemBus});
    ASSERT_EQ(session.waitForMainWindow(), "");
    const auto start = session.putOmegaInFront();
    ASSERT_TRUE(start) << session.describe();
    const auto [main, alpha, omega, omegaAsked, omegaSeen, before] = *start;

    // 2 s in front of Omega, then the lock: Omega's row comes with no change
    // of the foreground, and none while the screen stays locked for 4 s.
    std::this_thread::sleep_until(omegaSeen + 2s);
    const auto lockAsked = Clock::now();
    ASSERT_TRUE(setLocked(true));
    ASSERT_TRUE(session.logGrows(before, "Omega", 120s)) << session.describe();
    const auto lockSeen = Clock::now();
    std::this_thread::sleep_until(lockSeen + 4s);
    ASSERT_TRUE(session.read());
    EXPECT_EQ(session.logRows().size(), before + 1) << session.describe();

    // Unlocked, Omega still in front opens a new stretch: 2 s, then the main window.
    const auto unlockAsked = Clock::now();
    ASSERT_TRUE(setLocked(false));
    std::this_thread::sleep_until(unlockAsked + 2s);
    ASSERT_TRUE(session.activate(main) && session.logGrows(before + 1, "Omega", 120s)) << session.describe();
    const double mostAfterUnlock = secondsBetween(unlockAsked, Clock::now());

    const auto& rows = session.logRows();
    ASSERT_EQ(rows.size(), before + 2) << session.describe();
    std::cout << "Omega logged " << rows[before][5] << " s up to the lock (in front "
              << secondsBetween(omegaSeen, lockAsked) << " to " << secondsBetween(omegaAsked, lockSeen) << " s) and "
              << rows[before + 1][5] << " s after it (at most " << mostAfterUnlock << " s)\n";
    EXPECT_GE(std::stod(rows[before][5]), secondsBetween(omegaSeen, lockAsked) - 1.0);
    EXPECT_LE(std::stod(rows[before][5]), secondsBetween(omegaAsked, lockSeen) + 1.0);
    // Whenever the program saw the unlock, the locked 4 s lie before it.
    EXPECT_LE(std::stod(rows[before + 1][5]), mostAfterUnlock + 1.0);
    EXPECT_EQ(rows[before + 1][2], rows[before][3]);
    long omegaSum = 0;
    for (const auto& row : rows) {
        omegaSum += row[1] == "Omega" ? std::stol(row[5]) : 0;
    }
    const auto& totals = session.shown().tables[1].rows;
    EXPECT_TRUE(std::any_of(totals.begin(), totals.end(), [&](const auto& row) {
        return row.at(1) == "Omega" && std::stol(row.at(3)) == omegaSum;
    })) << session.describe();

    // A screen saver that says it runs ends the stretch as the lock does.
    ASSERT_TRUE(session.openStretchOf(alpha, omega, "Alpha")) << session.describe();
    const std::size_t beforeSaver = session.logRows().size();
    ChildProcess saver({"/usr/bin/gdbus", "emit", "--session", "--object-path", "/org/freedesktop/ScreenSaver",
                        "--signal", "org.freedesktop.ScreenSaver.ActiveChanged", "true"},
                       {"DBUS_SESSION_BUS_ADDRESS=" + session.sessionBusAddress()});
    EXPECT_TRUE(saver.waitForExit(60s));
    EXPECT_TRUE(session.logGrows(beforeSaver, "Omega", 120s)) << session.describe();
}

} // namespace
} // namespace dwellmark::testing
