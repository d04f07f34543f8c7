// The main of the GoogleTest programs of Qt windows.
// The cases get the QApplication that QTest's main would make, at 96 dpi as
// there; a run that only lists the cases (as the build does to register them)
// makes none, and so needs no display.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    QApplication::setAttribute(Qt::AA_Use96Dpi);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
