// Runs the desktop tests on a private X server with a window manager.
#include "testdisplay.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    dwellmark::testing::runOnTestDisplay(WITH_DISPLAY, argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
