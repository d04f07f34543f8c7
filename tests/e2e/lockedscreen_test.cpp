// The program itself with a login manager of the test's own on a private system bus, and a screen saver of the
// test's own on its session bus: the session locks while a window holds the foreground, and unlocks a while later.
// The usage log, read back over AT-SPI, must end the window's stretch at the lock and hold none of the locked time;
// and what locks no longer (a screen saver gone, a bus gone) or never did (a signal from anyone else) must not
// stop the logging.
#include "privatebus.h"
#include "readbacksession.h"
#include "scratchfolder.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

/// The program on a private system bus served by the test's login manager,
/// with Omega in front and its stretch open.
class LockedScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.made());
        m_systemBus.emplace(m_folder.path() + "/system_bus_socket");
        ASSERT_TRUE(m_systemBus->ready()) << "the private system bus did not start";
        const std::string onSystemBus = "DBUS_SYSTEM_BUS_ADDRESS=" + m_systemBus->address();
        m_loginManager.emplace(std::vector<std::string>{FAKE_LOGIN_MANAGER}, std::vector<std::string>{onSystemBus});
        ASSERT_EQ(m_loginManager->readLine(60s), "ready") << m_loginManager->errorOutput();
        m_session.emplace(DWELLMARK_PROGRAM, std::vector<std::string>{onSystemBus});
        ASSERT_EQ(m_session->waitForMainWindow(), "");
        const auto start = m_session->putOmegaInFront();
        ASSERT_TRUE(start) << m_session->describe();
        m_start = *start;
    }

    /// Locks or unlocks through the login manager, or a screen saver.
    static bool setLocked(ChildProcess& locker, bool locked) {
        locker.writeLine(locked ? "lock" : "unlock");
        return locker.readLine(60s) == (locked ? "locked" : "unlocked");
    }

    ScratchFolder m_folder{"lockedscreen"};
    std::optional<PrivateBus> m_systemBus;
    std::optional<ChildProcess> m_loginManager;
    std::optional<ReadBackSession> m_session;
    ReadBackSession::OmegaInFront m_start;
};

TEST_F(LockedScreen, TheStretchEndsAtTheLockAndTheLockedTimeIsNotLogged) {
    ReadBackSession& session = *m_session;
    const auto [main, alpha, omega, omegaAsked, omegaSeen, before] = m_start;

    // 2 s in front of Omega, then the lock: Omega's row comes with no change
    // of the foreground, and none while the screen stays locked for 4 s.
    std::this_thread::sleep_until(omegaSeen + 2s);
    const auto lockAsked = Clock::now();
    ASSERT_TRUE(setLocked(*m_loginManager, true));
    ASSERT_TRUE(session.logGrows(before, "Omega", 120s)) << session.describe();
    const auto lockSeen = Clock::now();
    std::this_thread::sleep_until(lockSeen + 4s);
    ASSERT_TRUE(session.read());
    EXPECT_EQ(session.logRows().size(), before + 1) << session.describe();

    // Unlocked, Omega still in front opens a new stretch: 2 s, then the main window.
    const auto unlockAsked = Clock::now();
    ASSERT_TRUE(setLocked(*m_loginManager, false));
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
}

TEST_F(LockedScreen, OnlyTheScreenSaverLocksAndOnlyWhileItRuns) {
    ReadBackSession& session = *m_session;
    const std::vector<std::string> onSessionBus{"DBUS_SESSION_BUS_ADDRESS=" + session.sessionBusAddress()};

    // Anyone else saying that the screen saver runs, at its path or any other, is not believed.
    for (const char* path : {"/org/freedesktop/ScreenSaver", "/anywhere"}) {
        ChildProcess other({"/usr/bin/gdbus", "emit", "--session", "--object-path", path, "--signal",
                            "org.freedesktop.ScreenSaver.ActiveChanged", "true"},
                           onSessionBus);
        ASSERT_TRUE(other.waitForExit(60s));
    }
    // A switch logged shows that the logging goes on.
    ASSERT_TRUE(session.openStretchOf(m_start.alpha, m_start.omega, "Alpha")) << session.describe();

    // The screen saver that says it runs ends the stretch as the lock does.
    ChildProcess saver({FAKE_LOGIN_MANAGER, "screensaver"}, onSessionBus);
    ASSERT_EQ(saver.readLine(60s), "ready") << saver.errorOutput();
    const std::size_t beforeSaver = session.logRows().size();
    ASSERT_TRUE(setLocked(saver, true));
    ASSERT_TRUE(session.logGrows(beforeSaver, "Omega", 120s)) << session.describe();

    // Gone without saying that it stopped (killed, crashed), it locks no more.
    ::kill(saver.pid(), SIGKILL);
    ASSERT_TRUE(saver.waitForExit(60s));
    ASSERT_TRUE(session.openStretchOf(m_start.alpha, m_start.main, "Alpha")) << session.describe();
}

TEST_F(LockedScreen, ASystemBusGoneWhileLockedUnlocksAndIsToldOnce) {
    ReadBackSession& session = *m_session;
    ASSERT_TRUE(setLocked(*m_loginManager, true));
    ASSERT_TRUE(session.logGrows(m_start.rowsBefore, "Omega", 120s)) << session.describe();

    // The bus goes, and the login manager with it: what they said no longer holds.
    m_systemBus.reset();
    ASSERT_TRUE(m_loginManager->waitForExit(60s));
    ASSERT_TRUE(session.openStretchOf(m_start.alpha, m_start.main, "Alpha")) << session.describe();

    // Ended, the program has said what it had to.
    ::kill(session.program().pid(), SIGTERM);
    session.program().waitForExit(60s);
    const std::string said = session.program().errorOutput();
    const std::string line =
        "dwellmark: the system bus is gone: a locked screen is no longer seen, its time is counted\n";
    EXPECT_NE(said.find(line), std::string::npos) << said;
    EXPECT_EQ(said.find(line), said.rfind(line)) << said;
}

} // namespace
} // namespace dwellmark::testing
