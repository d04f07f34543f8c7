// Takes the screenshots of the README on a private display:
//   tests/support/x11/with-display build/<preset>/tests/e2e/screenshots docs/
// It runs the main window on the real X11 backend, lets windows of a few
// other programs take turns in the foreground, then saves the main window and
// the chart window, frames included.
#include "app/qtprogram.h"
#include "platform/platform.h"
#include "testdesktop.h"
#include "ui/qt/chartwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Has the window manager activate the window, the event loop running meanwhile.
void activate(dwellmark::testing::TestDesktop& desktop, std::uint32_t window) {
    desktop.requestActivation(window);
    static_cast<void>(QTest::qWaitFor([&] { return desktop.activeWindow() == window; }, 30000));
}

bool save(QWidget& window, const QString& path) {
    const QRect frame = window.frameGeometry();
    return window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(path);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: screenshots FOLDER\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    auto desktop = dwellmark::platform::openDesktop();
    auto clock = dwellmark::platform::createClock();
    QTemporaryDir folder;
    QFile::copy(QStringLiteral(DWELLMARK_CURSOR_FILE), folder.filePath(QStringLiteral("HAND-M.CUR")));
    dwellmark::app::QtProgram dwellmark(*desktop.windows, *desktop.changes, *clock, folder.path());
    dwellmark::ui::MainWindow& form = dwellmark.mainWindow();
    form.show();
    QTest::qWait(500);

    // Copies of the test window under the names of the programs they play.
    const std::pair<const char*, const char*> programs[] = {
        {"texteditor", "report.md - Text Editor"},
        {"webbrowser", "Release notes - Web Browser"},
        {"terminal", "~/src/dwellmark - Terminal"},
        {"mailclient", "Inbox (3) - Mail"},
    };
    std::vector<std::unique_ptr<QProcess>> processes;
    std::vector<std::uint32_t> ids;
    for (const auto& [name, title] : programs) {
        const QString copy = folder.filePath(QString::fromLatin1(name));
        QFile::copy(QStringLiteral(X11_TEST_WINDOW), copy);
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner);
        auto process = std::make_unique<QProcess>();
        process->start(copy, {QStringLiteral("--net-name"), QString::fromUtf8(title)});
        // It prints its window's id once the window is there.
        while (process->state() != QProcess::NotRunning && !process->canReadLine()) {
            process->waitForReadyRead(100);
        }
        ids.push_back(QString::fromLatin1(process->readLine()).trimmed().toUInt());
        processes.push_back(std::move(process));
    }

    const std::vector<std::pair<int, int>> turns{{0, 4000}, {1, 2000}, {2, 3000}, {0, 2000},
                                                 {3, 1000}, {1, 3000}, {2, 1000}, {0, 1000}};
    dwellmark::testing::TestDesktop user;
    for (const auto& [program, ms] : turns) {
        activate(user, ids.at(static_cast<std::size_t>(program)));
        QTest::qWait(ms);
    }
    activate(user, static_cast<std::uint32_t>(form.winId()));
    QTest::qWait(500);
    const bool mainSaved = save(form, out.filePath(QStringLiteral("main-window.png")));

    bool chartSaved = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* chart = qobject_cast<dwellmark::ui::ChartWindow*>(QApplication::activeModalWidget());
        if (chart == nullptr || !chart->isVisible()) {
            return;
        }
        poll.stop();
        QTest::qWait(1000);
        chartSaved = save(*chart, out.filePath(QStringLiteral("chart-window.png")));
        chart->close();
    });
    poll.start(50);
    // The chart opens once the check box has returned; saved, it is closed.
    form.displayChartBox()->setChecked(true);
    static_cast<void>(
        QTest::qWaitFor([&] { return chartSaved && QApplication::activeModalWidget() == nullptr; }, 30000));

    for (auto& process : processes) {
        process->closeWriteChannel(); // the end of its input ends it
        process->waitForFinished();
    }
    if (!mainSaved || !chartSaved) {
        std::fputs("screenshots: could not save the pictures\n", stderr);
        return 1;
    }
    return 0;
}
