// Waiting for a top-level window of a test to stand framed and centred on its screen.
#pragma once

#include "trywait.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtTest>

namespace dwellmark::ui::testing {

/// Shows the window and waits until it is exposed and the window manager has
/// framed it (the outer size larger than the client area) and centred the
/// frame on the screen; fails the running test otherwise, naming where the
/// frame stands.
inline void showCentred(QWidget& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 120000));
    DWELLMARK_TRY_VERIFY(window.windowHandle()->frameGeometry().height() > window.height());
    const QRect screen = window.screen()->geometry();
    const auto frame = [&window] { return window.windowHandle()->frameGeometry(); };
    DWELLMARK_TRY_VERIFY2(qAbs(frame().center().x() - screen.center().x()) <= 1 &&
                              qAbs(frame().center().y() - screen.center().y()) <= 1,
                          qPrintable(QStringLiteral("frame %1,%2 %3x%4 on %5x%6")
                                         .arg(frame().x())
                                         .arg(frame().y())
                                         .arg(frame().width())
                                         .arg(frame().height())
                                         .arg(screen.width())
                                         .arg(screen.height())));
}

} // namespace dwellmark::ui::testing
