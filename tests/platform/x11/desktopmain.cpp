// Runs the desktop tests on a private X server with a window manager.
#include "testdisplay.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const auto display = dwellmark::testing::startTestDisplay();
    return RUN_ALL_TESTS();
}
