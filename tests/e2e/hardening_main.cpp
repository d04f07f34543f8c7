// Runs the hardening tests that need a desktop on a private X server with a
// window manager. The main window of the tests is a Qt window, so a
// QApplication runs beside them.
#include "testdisplay.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const auto display = dwellmark::testing::startTestDisplay();
    if (!display) {
        return RUN_ALL_TESTS();
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
