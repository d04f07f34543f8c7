#include "testdisplay.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace dwellmark::testing {

bool onlyListingTests(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            return true;
        }
    }
    return false;
}

void runOnTestDisplay(const char* withDisplay, int argc, char** argv) {
    if (onlyListingTests(argc, argv) || std::getenv("DWELLMARK_ON_TEST_DISPLAY") != nullptr) {
        return;
    }
    setenv("DWELLMARK_ON_TEST_DISPLAY", "1", 1);
    std::vector<char*> arguments{const_cast<char*>(withDisplay)};
    arguments.insert(arguments.end(), argv, argv + argc);
    arguments.push_back(nullptr);
    execv(withDisplay, arguments.data());
    std::perror("with-display");
    std::exit(1);
}

} // namespace dwellmark::testing
