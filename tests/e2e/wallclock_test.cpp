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
#include <string>
#include <thread>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

/// A scratch folder under the temporary folder, removed with everything in it.
class ScratchFolder final {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dwellmark-wallclock-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

/// Sets the offset of the program's wall clock from the real one, in
/// libfaketime's form ("+0", "-5"); renamed into place, so that the program
/// never reads half a file.
void setOffset(const std::filesystem::path& file, const std::string& offset) {
    const std::filesystem::path next = file.string() + ".next";
    std::ofstream(next) << offset << '\n';
    std::filesystem::rename(next, file);
}

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

bool loaded(pid_t pid, const std::string& library) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(library) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(SteppedWallClock, TheLoggedLengthsAreTheTimeThatReallyPassed) {
    ASSERT_TRUE(std::filesystem::exists(DWELLMARK_LIBFAKETIME))
        << "libfaketime is missing (Debian's faketime; scripts/deps test installs it)";
    ScratchFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::filesystem::path offset = folder.path() / "offset";
    setOffset(offset, "+0");
    const char* const asan = std::getenv("ASAN_OPTIONS");
    ReadBackSession session(
        DWELLMARK_PROGRAM,
        {std::string("LD_PRELOAD=") + DWELLMARK_LIBFAKETIME, "FAKETIME_TIMESTAMP_FILE=" + offset.string(),
         "FAKETIME_NO_CACHE=1", "FAKETIME_DONT_FAKE_MONOTONIC=1",
         // Under AddressSanitizer its run-time comes after the preloaded library.
         std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") + ":verify_asan_link_order=0"});
    const std::string failure = session.waitForMainWindow();
    ASSERT_EQ(failure, "");
    ASSERT_TRUE(loaded(session.program().pid(), "libfaketime"));
    TestDesktop& user = session.user();
    const std::uint32_t main = session.mainWindow();
    ASSERT_TRUE(session.activate(main));
    const std::uint32_t alpha = user.createWindow("Alpha", true);
    const std::uint32_t omega = user.createWindow("Omega", true);

    // Waits until the log holds more rows than before, the last one titled so.
    const auto logGrows = [&](std::size_t before, const std::string& lastTitle, std::chrono::seconds limit) {
        return eventually(
            [&] {
                if (!session.read()) {
                    return false;
                }
                const auto& rows = session.logRows();
                return rows.size() > before && rows.back().size() == 6 && rows.back()[1] == lastTitle;
            },
            limit);
    };

    // Omega's stretch has surely opened once Alpha's is logged. The program
    // samples the foreground, so Alpha may pass unseen: then the two are
    // visited again.
    Clock::time_point omegaAsked;
    std::size_t rowsAtStart = 0;
    const bool omegaOpened = eventually(
        [&] {
            session.read();
            rowsAtStart = session.logRows().size();
            if (!session.activate(alpha)) {
                return false;
            }
            omegaAsked = Clock::now();
            return session.activate(omega) && logGrows(rowsAtStart, "Alpha", 30s);
        },
        300s);
    ASSERT_TRUE(omegaOpened) << session.describe();
    const auto omegaSeen = Clock::now();
    const std::size_t rowsBefore = session.logRows().size();

    // 3 s in front of Omega, with the wall clock set back 5 s on the way.
    setOffset(offset, "-5");
    std::this_thread::sleep_until(omegaSeen + 3s);
    const auto alphaAsked = Clock::now();
    ASSERT_TRUE(session.activate(alpha));
    ASSERT_TRUE(logGrows(rowsBefore, "Omega", 120s)) << session.describe();
    const auto alphaSeen = Clock::now();

    // 2 s in front of Alpha, with the wall clock 8 hours on (as after a night asleep).
    setOffset(offset, "+28795");
    std::this_thread::sleep_until(alphaSeen + 2s);
    const auto mainAsked = Clock::now();
    ASSERT_TRUE(session.activate(main));
    ASSERT_TRUE(logGrows(rowsBefore + 1, "Alpha", 120s)) << session.describe();
    const auto mainSeen = Clock::now();

    const auto& rows = session.logRows();
    ASSERT_EQ(rows.size(), rowsBefore + 2) << session.describe();
    const auto& omegaRow = rows[rowsBefore];
    const auto& alphaRow = rows[rowsBefore + 1];
    // A stretch opens and closes between the test's request and the moment
    // the log shows it; the whole-second rule puts it up to a second off.
    const auto expectLength = [](const std::vector<std::string>& row, double least, double most) {
        const double logged = std::stod(row[5]);
        std::cout << row[1] << " logged " << row[5] << " s, really between " << least << " and " << most << " s\n";
        EXPECT_GE(logged, least - 1.0) << row[1];
        EXPECT_LE(logged, most + 1.0) << row[1];
    };
    expectLength(omegaRow, secondsBetween(omegaSeen, alphaAsked), secondsBetween(omegaAsked, alphaSeen));
    expectLength(alphaRow, secondsBetween(alphaSeen, mainAsked), secondsBetween(alphaAsked, mainSeen));
    // The running count goes on from row to row, and the totals are the sums.
    EXPECT_EQ(alphaRow[2], omegaRow[3]);
    EXPECT_EQ(std::stol(alphaRow[3]) - std::stol(alphaRow[2]), std::stol(alphaRow[5]));
    long alphaTotal = 0;
    long omegaTotal = 0;
    for (const auto& row : rows) {
        (row[1] == "Alpha" ? alphaTotal : omegaTotal) += std::stol(row[5]);
    }
    const auto& totals = session.shown().tables[1].rows;
    ASSERT_EQ(totals.size(), 2U) << session.describe();
    for (const auto& row : totals) {
        ASSERT_EQ(row.size(), 4U);
        EXPECT_EQ(std::stol(row[3]), row[1] == "Alpha" ? alphaTotal : omegaTotal) << session.describe();
    }
}

} // namespace
} // namespace dwellmark::testing
