// The program's last resort: a failure that nothing catches, coming again on every tick of the 1 ms fallback, is
// shown in one message box, once, and the program ends with status 1 when it is closed.
#include "app/application.h"
#include "privatedisplay.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdexcept>

namespace dwellmark::testing {
namespace {

using ::testing::AllOf;
using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;

// Runs in the death test's child: the box is closed once ticks have failed on
// 50 more ticks while it was open; the most boxes seen open at once go to
// standard error.
void failOnEveryTick() {
    int argc = 1;
    char name[] = "dwellmark";
    char* argv[] = {name, nullptr};
    app::Application application(argc, argv);
    int failures = 0;
    // Each tick arms the next before it fails, as the desktop's events and
    // the fallback timer each bring one: ticks go on while the box is open.
    std::function<void()> tick = [&] {
        ++failures;
        QTimer::singleShot(1, tick);
        throw std::runtime_error("the desktop went away");
    };
    int mostBoxes = 0;
    int failuresAtBox = -1;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const auto widgets = QApplication::topLevelWidgets();
        const int boxes = static_cast<int>(std::count_if(widgets.begin(), widgets.end(), [](QWidget* widget) {
            return widget->isVisible() && qobject_cast<QMessageBox*>(widget) != nullptr;
        }));
        mostBoxes = std::max(mostBoxes, boxes);
        if (boxes > 0 && failuresAtBox < 0) {
            failuresAtBox = failures;
        }
        if (failuresAtBox >= 0 && failures >= failuresAtBox + 50) {
            std::fprintf(stderr, "most boxes open at once: %d\n", mostBoxes);
            watch.stop();
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->accept();
            }
        }
    });
    QTimer::singleShot(1, tick);
    watch.start();
    QApplication::exec();
}

TEST(FailureOnEveryTick, IsShownInOneBoxOnceAndEndsTheProgram) {
    PrivateDisplay display;
    display.useForThisProcess();
    EXPECT_EXIT(failOnEveryTick(), ::testing::ExitedWithCode(1),
                AllOf(HasSubstr("dwellmark: the desktop went away\n"), HasSubstr("most boxes open at once: 1\n"),
                      Not(ContainsRegex("went away(.|\n)*went away"))));
}

} // namespace
} // namespace dwellmark::testing
