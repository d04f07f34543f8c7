// Runs the hardening tests that need a desktop on a private X server with a
// window manager. The main window of the tests is a Qt window, so a
// QApplication runs beside them.
#include "testdisplay.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Asked before InitGoogleTest, which takes its own options out of argv.
    const bool listing = dwellmark::testing::onlyListingTests(argc, argv);
    dwellmark::testing::runOnTestDisplay(WITH_DISPLAY, argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (listing) {
        return RUN_ALL_TESTS();
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
