// The main window named by the front end's own id, title and app id, found
// through the desktop once it knows it (as on Wayland, where the front end's
// id is no number of the desktop's).
#include "fakes.h"
#include "tablecells.h"
#include "tracking/activitytracker.h"

#include <gtest/gtest.h>
#include <string>

namespace dwellmark {
namespace {

using testing::FakeClock;
using testing::FakeWindowSystem;

/// The fake desktop, which learns of the program's own window only when told.
class LateDesktop final : public WindowSystem {
public:
    WindowHandle findOwnWindow(WindowHandle nativeId, std::string_view title, std::string_view appId) override {
        ++questions;
        lastNativeId = nativeId;
        return known && title == "Dwellmark" && appId == "dwellmark" ? ownNumber : 0;
    }
    WindowHandle foregroundWindow() override { return fake.foregroundWindow(); }
    bool isWindow(WindowHandle handle) override { return fake.isWindow(handle); }
    std::string getWindowTitle(WindowHandle handle) override { return fake.getWindowTitle(handle); }
    std::string getProcessName(WindowHandle handle) override { return fake.getProcessName(handle); }

    FakeWindowSystem fake;
    static constexpr WindowHandle ownNumber = 9;
    bool known = false;
    int questions = 0;
    WindowHandle lastNativeId = 0;
};

TEST(MainWindowQuery, TheMainWindowIsAskedForEachTickUntilFoundAndNeverGetsARow) {
    LateDesktop desktop;
    FakeClock clock;
    ActivityTracker tracker(desktop, clock);
    desktop.fake.create(1, "editor", "Notes");
    desktop.fake.create(LateDesktop::ownNumber, "dwellmark", "Dwellmark");

    tracker.identifyMainWindow(0x4400001, "Dwellmark", "dwellmark");
    EXPECT_EQ(tracker.mainWindow(), 0U);
    EXPECT_EQ(desktop.lastNativeId, 0x4400001U);

    clock.now = 10.0F;
    desktop.fake.focus(1);
    tracker.tick();
    EXPECT_EQ(desktop.questions, 2);

    // The window appears, focused, in the same tick as the desktop learns of it.
    desktop.known = true;
    desktop.fake.focus(LateDesktop::ownNumber);
    clock.now = 14.0F;
    tracker.tick();
    EXPECT_EQ(tracker.mainWindow(), LateDesktop::ownNumber);
    EXPECT_EQ(tracker.openStretches().rowCount(), 1U);

    // Found: no more questions, and its time is never logged.
    desktop.fake.focus(1);
    clock.now = 20.0F;
    tracker.tick();
    tracker.tick();
    EXPECT_EQ(desktop.questions, 3);
    EXPECT_EQ(testing::logSummary(tracker.usageLog()), std::vector<std::string>{"editor | Notes | 4"});
}

TEST(MainWindowQuery, WhereTheDesktopKnowsTheFrontEndsIdItIsTheMainWindowAtOnce) {
    FakeWindowSystem desktop;
    FakeClock clock;
    ActivityTracker tracker(desktop, clock);
    tracker.identifyMainWindow(0x4400001, "Dwellmark", "dwellmark");
    EXPECT_EQ(tracker.mainWindow(), 0x4400001U);
}

} // namespace
} // namespace dwellmark
