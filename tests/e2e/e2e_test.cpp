// The program on the real X11 backend, in the test's process, and windows of
// another process that take turns in the foreground.
#include "app/qtprogram.h"
#include "platform/platform.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"
#include "tracking/formattime.h"
#include "tracking/textforms.h"
#include "trywait.h"
#include "ui/qt/chartwindow.h"
#include "ui/qt/mainwindow.h"
#include "windowfarm.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCheckBox>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

using dwellmark::ActivityTable;
using dwellmark::LogColumn;
using dwellmark::TotalsColumn;
using dwellmark::WindowHandle;

namespace {

// Every wait is for a state; its limit only catches a hang, also on a loaded machine.
constexpr int hangLimitMs = 120000;

// Runs a tool to its end while the event loop (and so the main window's
// timer) goes on; its standard output, or nothing when it failed.
std::optional<QString> run(const QString& program, const QStringList& arguments, int timeoutMs = hangLimitMs) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        return std::nullopt;
    }
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < timeoutMs) {
        QTest::qWait(5);
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool activate(WindowHandle window) {
    return run(QStringLiteral("xdotool"), {"windowactivate", "--sync", QString::number(window)}).has_value();
}

QString cell(const ActivityTable& table, std::size_t row, auto column) {
    return QString::fromStdString(std::string(table.text(row, column)));
}

} // namespace

class EndToEndTest final : public QObject {
    Q_OBJECT

private:
    struct Helper {
        QString title;
        WindowHandle window = 0;
    };

    dwellmark::platform::Desktop m_desktop;
    dwellmark::WindowSystem* m_windows = nullptr;
    std::unique_ptr<dwellmark::TimeOfDayClock> m_clock;
    QTemporaryDir m_folder;
    std::unique_ptr<dwellmark::app::QtProgram> m_program;
    dwellmark::ActivityTracker* m_tracker = nullptr;
    dwellmark::ui::MainWindow* m_form = nullptr;
    std::unique_ptr<dwellmark::testing::WindowFarm> m_farm;
    std::vector<Helper> m_helpers;

    WindowHandle mainWindow() const { return static_cast<WindowHandle>(m_form->winId()); }

    /// Activates the window and waits until the tracker has seen it in the foreground.
    bool activateSeen(WindowHandle window) {
        if (!activate(window)) {
            return false;
        }
        QElapsedTimer waited;
        waited.start();
        while (m_tracker->lastForeground() != window && waited.elapsed() < hangLimitMs) {
            QTest::qWait(1);
        }
        return m_tracker->lastForeground() == window;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        m_desktop = dwellmark::platform::openDesktop();
        m_windows = m_desktop.windows.get();
        m_clock = dwellmark::platform::createClock();
        m_program =
            std::make_unique<dwellmark::app::QtProgram>(*m_windows, *m_desktop.changes, *m_clock, m_folder.path());
        m_tracker = &m_program->tracker();
        m_form = &m_program->mainWindow();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form, hangLimitMs));
        QVERIFY(activate(mainWindow()));
        DWELLMARK_TRY_COMPARE_WITH_TIMEOUT(m_windows->foregroundWindow(), mainWindow(), hangLimitMs);

        // The windows of another process; each is renamed once before it shows.
        const auto idle = [] { QTest::qWait(1); };
        m_farm = std::make_unique<dwellmark::testing::WindowFarm>();
        for (const char* name : {"Alpha", "Bravo", "Charlie"}) {
            const Helper helper{QStringLiteral("Dwellmark e2e ") + QLatin1String(name),
                                static_cast<WindowHandle>(m_farm->create(1, name, idle).front())};
            m_farm->setTitle(static_cast<std::uint32_t>(helper.window), helper.title.toStdString(), idle);
            const auto found = run(QStringLiteral("xdotool"),
                                   {"search", "--sync", "--onlyvisible", "--name", "^" + helper.title + "$"});
            QVERIFY2(found.has_value() && !found->isEmpty(), qPrintable(helper.title));
            QCOMPARE(static_cast<WindowHandle>(found->split('\n').first().toLong()), helper.window);
            m_helpers.push_back(helper);
        }
        // The new windows did not take the foreground: nothing is recorded yet.
        QTest::qWait(300);
        QCOMPARE(m_windows->foregroundWindow(), mainWindow());
        QCOMPARE(m_tracker->usageLog().rowCount(), std::size_t{0});
        QCOMPARE(m_tracker->openStretches().rowCount(), std::size_t{0});
    }

    void cleanupTestCase() {
        m_farm.reset();
        m_program.reset();
    }

    void logsTheStretchesOfOtherWindows() {
        const Helper& alpha = m_helpers.at(0);
        const Helper& bravo = m_helpers.at(1);
        struct Step {
            WindowHandle window;
            int pauseMs;
        };
        const std::vector<Step> steps{{alpha.window, 2000}, {bravo.window, 3000}, {alpha.window, 1000}};
        // How long each stretch really lasted, from the tick that saw it begin
        // to the one that saw it end: on a loaded machine more than the pause.
        std::vector<double> lasted;
        QElapsedTimer stretch;
        for (const Step& step : steps) {
            QVERIFY(activateSeen(step.window));
            if (stretch.isValid()) {
                lasted.push_back(static_cast<double>(stretch.elapsed()) / 1000.0);
            }
            stretch.start();
            QTest::qWait(step.pauseMs);
        }
        QVERIFY(activateSeen(mainWindow()));
        lasted.push_back(static_cast<double>(stretch.elapsed()) / 1000.0);
        DWELLMARK_TRY_COMPARE_WITH_TIMEOUT(m_tracker->usageLog().rowCount(), std::size_t{3}, hangLimitMs);

        const ActivityTable& log = m_tracker->usageLog();
        for (std::size_t row = 1; row <= log.rowCount(); ++row) {
            qInfo("log row %zu: %s | %s | %s | %s", row, std::string(log.text(row, LogColumn::Application)).c_str(),
                  std::string(log.text(row, LogColumn::WindowTitle)).c_str(),
                  std::string(log.text(row, LogColumn::Time)).c_str(),
                  std::string(log.text(row, LogColumn::Total)).c_str());
        }
        const QStringList titles{alpha.title, bravo.title, alpha.title};
        std::int64_t position = 0;
        for (std::size_t row = 1; row <= 3; ++row) {
            QCOMPARE(cell(log, row, LogColumn::Application), QStringLiteral("x11_test_window"));
            QCOMPARE(cell(log, row, LogColumn::WindowTitle), titles.at(static_cast<qsizetype>(row - 1)));
            const auto total = static_cast<std::int64_t>(dwellmark::leadingNumber(log.text(row, LogColumn::Total)));
            // The clock is read in whole seconds at both ends: one second off at most, and a little for the ticks.
            const double expected = lasted.at(row - 1);
            QVERIFY2(qAbs(static_cast<double>(total) - expected) <= 1.5,
                     qPrintable(QStringLiteral("row %1: %2 s, not about %3 s").arg(row).arg(total).arg(expected)));
            QCOMPARE(cell(log, row, LogColumn::TimeStart), QString::number(position));
            QCOMPARE(cell(log, row, LogColumn::TimeEnd), QString::number(position + total));
            QCOMPARE(cell(log, row, LogColumn::Time), QString::fromStdString(dwellmark::formatTime(position) + " - " +
                                                                             dwellmark::formatTime(position + total)));
            position += total;
        }
        QCOMPARE(m_tracker->loggedSeconds(), position);

        const ActivityTable& totals = m_tracker->totals();
        QCOMPARE(totals.rowCount(), std::size_t{2});
        const auto alphaTotal = static_cast<std::int64_t>(dwellmark::leadingNumber(log.text(1, LogColumn::Total)) +
                                                          dwellmark::leadingNumber(log.text(3, LogColumn::Total)));
        const std::int64_t bravoTotal = position - alphaTotal;
        QCOMPARE(cell(totals, 1, TotalsColumn::Application), QStringLiteral("x11_test_window"));
        QCOMPARE(cell(totals, 1, TotalsColumn::WindowTitle), alpha.title);
        QCOMPARE(cell(totals, 1, TotalsColumn::TotalSeconds), QString::number(alphaTotal));
        QCOMPARE(cell(totals, 1, TotalsColumn::TotalTime), QString::fromStdString(dwellmark::formatTime(alphaTotal)));
        QCOMPARE(cell(totals, 2, TotalsColumn::WindowTitle), bravo.title);
        QCOMPARE(cell(totals, 2, TotalsColumn::TotalSeconds), QString::number(bravoTotal));
        QVERIFY(qAbs(static_cast<double>(alphaTotal) - lasted.at(0) - lasted.at(2)) <= 2.5);

        // The views show what the tables hold.
        QCOMPARE(m_form->usageLog()->model()->rowCount(), 3);
        QCOMPARE(m_form->totals()->model()->index(1, 1).data().toString(), bravo.title);

        // The open-interval table knows the two windows by their X ids; the
        // main window has no row, nor has the window that never was active.
        const ActivityTable& open = m_tracker->openStretches();
        QCOMPARE(open.rowCount(), std::size_t{2});
        QCOMPARE(dwellmark::handleFromText(open.text(1, dwellmark::OpenColumn::Handle)), alpha.window);
        QCOMPARE(dwellmark::handleFromText(open.text(2, dwellmark::OpenColumn::Handle)), bravo.window);
    }

    void theChartWindowIsRecordedToo() {
        QCOMPARE(m_tracker->totals().rowCount(), std::size_t{2});
        QString caption;
        QStringList names;
        WindowHandle chartWindow = 0;
        bool chartWasForeground = false;
        QElapsedTimer chartShown;
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [&, poll] {
            auto* chart = qobject_cast<dwellmark::ui::ChartWindow*>(QApplication::activeModalWidget());
            if (chart == nullptr || !chart->isVisible()) {
                return;
            }
            poll->deleteLater();
            caption = chart->windowTitle();
            for (const QBarSet* set : chart->barSeries()->barSets()) {
                names << set->label();
            }
            chartWindow = static_cast<WindowHandle>(chart->winId());
            QElapsedTimer waited;
            waited.start();
            while (m_tracker->lastForeground() != chartWindow && waited.elapsed() < hangLimitMs) {
                QTest::qWait(10);
            }
            chartWasForeground = m_tracker->lastForeground() == chartWindow;
            chartShown.start();
            QTest::qWait(1000);
            chart->close();
        });
        poll->start(10);
        QTest::mouseClick(m_form->displayChartBox(), Qt::LeftButton);
        QVERIFY(!m_form->displayChartBox()->isChecked());
        // The chart opens once the click has returned.
        DWELLMARK_TRY_VERIFY_WITH_TIMEOUT(chartShown.isValid() && QApplication::activeModalWidget() == nullptr,
                                          hangLimitMs);

        QCOMPARE(caption, QStringLiteral("Chart"));
        QCOMPARE(names, (QStringList{m_helpers.at(0).title, m_helpers.at(1).title}));
        QVERIFY(chartWasForeground);

        // The window manager hands the foreground back; the chart's stretch is logged.
        QVERIFY(activateSeen(mainWindow()));
        const double chartLasted = static_cast<double>(chartShown.elapsed()) / 1000.0;
        QCOMPARE(m_tracker->usageLog().rowCount(), std::size_t{4});
        const ActivityTable& log = m_tracker->usageLog();
        QCOMPARE(cell(log, 4, LogColumn::WindowTitle), QStringLiteral("Chart"));
        QCOMPARE(cell(log, 4, LogColumn::Application), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        QVERIFY(dwellmark::leadingNumber(log.text(4, LogColumn::Total)) <= chartLasted + 1.5);
        QCOMPARE(m_tracker->findTotalsRow("Chart"), std::size_t{3});
        // The chart window is gone, and so is its row.
        DWELLMARK_TRY_COMPARE_WITH_TIMEOUT(m_tracker->openStretches().rowCount(), std::size_t{2}, hangLimitMs);
    }
};

QTEST_MAIN(EndToEndTest)
#include "e2e_test.moc"
