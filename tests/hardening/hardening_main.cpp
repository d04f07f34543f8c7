// Runs the hardening tests that need a desktop on a private X server with a
// window manager: the program starts itself again under with-display, unless
// it is already there or only lists its tests. The main window of the tests
// is a Qt window, so a QApplication runs beside them.
#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    }
    if (!listing && std::getenv("DWELLMARK_ON_TEST_DISPLAY") == nullptr) {
        setenv("DWELLMARK_ON_TEST_DISPLAY", "1", 1);
        std::vector<char*> arguments{const_cast<char*>(WITH_DISPLAY)};
        arguments.insert(arguments.end(), argv, argv + argc);
        arguments.push_back(nullptr);
        execv(WITH_DISPLAY, arguments.data());
        perror("with-display");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (listing) {
        return RUN_ALL_TESTS();
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
