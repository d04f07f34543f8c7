// Waiting for a top-level window of a test to stand framed and centred on its screen.
#pragma once

#include "qtgtest.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace dwellmark::ui::testing {

/// Shows the window and waits until it is exposed and the window manager has
/// framed it (the outer size larger than the client area) and centred the
/// frame on the screen; a fatal failure otherwise, naming where the frame
/// stands (call it in ASSERT_NO_FATAL_FAILURE).
inline void showCentred(QWidget& window) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 120000));
    const auto frame = [&window] { return window.windowHandle()->frameGeometry(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame().height() > window.height(); }, 5000)) << "never framed";
    const QRect screen = window.screen()->geometry();
    const auto centred = [&] {
        return qAbs(frame().center().x() - screen.center().x()) <= 1 &&
               qAbs(frame().center().y() - screen.center().y()) <= 1;
    };
    ASSERT_TRUE(QTest::qWaitFor(centred, 5000))
        << "frame " << frame().x() << "," << frame().y() << " " << frame().width() << "x" << frame().height() << " on "
        << screen.width() << "x" << screen.height();
}

} // namespace dwellmark::ui::testing
