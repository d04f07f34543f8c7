// The private display a GoogleTest program of desktop tests runs its cases on.
#include "testdisplay.h"

#include <gtest/gtest.h>

namespace dwellmark::testing {

std::unique_ptr<PrivateDisplay> startTestDisplay() {
    if (GTEST_FLAG_GET(list_tests)) {
        return nullptr;
    }
    auto display = std::make_unique<PrivateDisplay>();
    display->useForThisProcess();
    return display;
}

} // namespace dwellmark::testing
