#include "platform/platform.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"
#include "tracking/formattime.h"
#include "tracking/textforms.h"
#include "ui/qt/form1.h"
#include "ui/qt/form2.h"

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

// Runs a tool to its end while the event loop (and so the main window's
// timer) goes on; its standard output, or nothing when it failed.
std::optional<QString> run(const QString& program, const QStringList& arguments, int timeoutMs = 20000) {
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
        std::unique_ptr<QProcess> process;
        WindowHandle window = 0;
    };

    std::unique_ptr<dwellmark::WindowSystem> m_windows;
    std::unique_ptr<dwellmark::TimeOfDayClock> m_clock;
    std::unique_ptr<dwellmark::ActivityTracker> m_tracker;
    std::unique_ptr<dwellmark::ui::Form1> m_form;
    QTemporaryDir m_folder;
    std::vector<Helper> m_helpers;

    WindowHandle mainWindow() const { return static_cast<WindowHandle>(m_form->winId()); }

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        m_windows = dwellmark::platform::createWindowSystem();
        m_clock = dwellmark::platform::createClock();
        m_tracker = std::make_unique<dwellmark::ActivityTracker>(*m_windows, *m_clock);
        m_form = std::make_unique<dwellmark::ui::Form1>(*m_tracker, m_folder.path());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QVERIFY(activate(mainWindow()));
        QTRY_COMPARE(m_windows->foregroundWindow(), mainWindow());

        for (const char* title : {"Dwellmark e2e Alpha", "Dwellmark e2e Bravo", "Dwellmark e2e Charlie"}) {
            Helper helper{QString::fromLatin1(title), std::make_unique<QProcess>(), 0};
            helper.process->start(QStringLiteral(DWELLMARK_E2E_WINDOW), {helper.title});
            QVERIFY(helper.process->waitForStarted());
            const auto found = run(QStringLiteral("xdotool"),
                                   {"search", "--sync", "--onlyvisible", "--name", "^" + helper.title + "$"});
            QVERIFY2(found.has_value() && !found->isEmpty(), qPrintable(helper.title));
            helper.window = static_cast<WindowHandle>(found->split('\n').first().toLong());
            m_helpers.push_back(std::move(helper));
        }
        // The new windows did not take the foreground: nothing is recorded yet.
        QTest::qWait(300);
        QCOMPARE(m_windows->foregroundWindow(), mainWindow());
        QCOMPARE(m_tracker->ListView1().rowCount(), std::size_t{0});
        QCOMPARE(m_tracker->lvwHidden().rowCount(), std::size_t{0});
    }

    void cleanupTestCase() {
        for (Helper& helper : m_helpers) {
            helper.process->terminate();
            if (!helper.process->waitForFinished(5000)) {
                helper.process->kill();
                helper.process->waitForFinished();
            }
        }
        m_form.reset();
        m_tracker.reset();
    }

    void logsTheStretchesOfOtherWindows() {
        const Helper& alpha = m_helpers.at(0);
        const Helper& bravo = m_helpers.at(1);
        struct Step {
            WindowHandle window;
            int pauseMs;
        };
        const std::vector<Step> steps{{alpha.window, 2000}, {bravo.window, 3000}, {alpha.window, 1000}};
        for (const Step& step : steps) {
            QVERIFY(activate(step.window));
            QTest::qWait(step.pauseMs);
        }
        QVERIFY(activate(mainWindow()));
        QTRY_COMPARE(m_tracker->ListView1().rowCount(), std::size_t{3});

        const ActivityTable& log = m_tracker->ListView1();
        for (std::size_t row = 1; row <= log.rowCount(); ++row) {
            qInfo("log row %zu: %s | %s | %s | %s", row, std::string(log.text(row, LogColumn::Application)).c_str(),
                  std::string(log.text(row, LogColumn::WindowTitle)).c_str(),
                  std::string(log.text(row, LogColumn::Time)).c_str(),
                  std::string(log.text(row, LogColumn::Total)).c_str());
        }
        const QStringList titles{alpha.title, bravo.title, alpha.title};
        std::int64_t position = 0;
        for (std::size_t row = 1; row <= 3; ++row) {
            QCOMPARE(cell(log, row, LogColumn::Application), QStringLiteral("e2ewindow"));
            QCOMPARE(cell(log, row, LogColumn::WindowTitle), titles.at(static_cast<qsizetype>(row - 1)));
            const auto total = static_cast<std::int64_t>(dwellmark::leadingNumber(log.text(row, LogColumn::Total)));
            const int expected = steps.at(row - 1).pauseMs / 1000;
            QVERIFY2(qAbs(total - expected) <= 1,
                     qPrintable(QStringLiteral("row %1: %2 s, not about %3 s").arg(row).arg(total).arg(expected)));
            QCOMPARE(cell(log, row, LogColumn::TimeStart), QString::number(position));
            QCOMPARE(cell(log, row, LogColumn::TimeEnd), QString::number(position + total));
            QCOMPARE(cell(log, row, LogColumn::Time), QString::fromStdString(dwellmark::formatTime(position) + " - " +
                                                                             dwellmark::formatTime(position + total)));
            position += total;
        }
        QCOMPARE(m_tracker->loggedSeconds(), position);

        const ActivityTable& totals = m_tracker->ListView2();
        QCOMPARE(totals.rowCount(), std::size_t{2});
        const auto alphaTotal = static_cast<std::int64_t>(dwellmark::leadingNumber(log.text(1, LogColumn::Total)) +
                                                          dwellmark::leadingNumber(log.text(3, LogColumn::Total)));
        const std::int64_t bravoTotal = position - alphaTotal;
        QCOMPARE(cell(totals, 1, TotalsColumn::Application), QStringLiteral("e2ewindow"));
        QCOMPARE(cell(totals, 1, TotalsColumn::WindowTitle), alpha.title);
        QCOMPARE(cell(totals, 1, TotalsColumn::TotalSeconds), QString::number(alphaTotal));
        QCOMPARE(cell(totals, 1, TotalsColumn::TotalTime), QString::fromStdString(dwellmark::formatTime(alphaTotal)));
        QCOMPARE(cell(totals, 2, TotalsColumn::WindowTitle), bravo.title);
        QCOMPARE(cell(totals, 2, TotalsColumn::TotalSeconds), QString::number(bravoTotal));
        QVERIFY(qAbs(alphaTotal - 3) <= 1);

        // The views show what the tables hold.
        QCOMPARE(m_form->ListView1()->model()->rowCount(), 3);
        QCOMPARE(m_form->ListView2()->model()->index(1, 1).data().toString(), bravo.title);

        // The open-interval table knows the two windows by their X ids; the
        // main window has no row, nor has the window that never was active.
        const ActivityTable& open = m_tracker->lvwHidden();
        QCOMPARE(open.rowCount(), std::size_t{2});
        QCOMPARE(dwellmark::handleFromText(open.text(1, dwellmark::OpenColumn::Handle)), alpha.window);
        QCOMPARE(dwellmark::handleFromText(open.text(2, dwellmark::OpenColumn::Handle)), bravo.window);
    }

    void theChartWindowIsRecordedToo() {
        QCOMPARE(m_tracker->ListView2().rowCount(), std::size_t{2});
        QString caption;
        QStringList names;
        WindowHandle chartWindow = 0;
        bool chartWasForeground = false;
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [&, poll] {
            auto* chart = qobject_cast<dwellmark::ui::Form2*>(QApplication::activeModalWidget());
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
            while (m_tracker->lastForeground() != chartWindow && waited.elapsed() < 10000) {
                QTest::qWait(10);
            }
            chartWasForeground = m_tracker->lastForeground() == chartWindow;
            QTest::qWait(1000);
            chart->close();
        });
        poll->start(10);
        QTest::mouseClick(m_form->Check2(), Qt::LeftButton);
        QVERIFY(!m_form->Check2()->isChecked());

        QCOMPARE(caption, QStringLiteral("Chart"));
        QCOMPARE(names, (QStringList{m_helpers.at(0).title, m_helpers.at(1).title}));
        QVERIFY(chartWasForeground);

        // The window manager hands the foreground back; the chart's stretch is logged.
        QVERIFY(activate(mainWindow()));
        QTRY_COMPARE(m_tracker->ListView1().rowCount(), std::size_t{4});
        const ActivityTable& log = m_tracker->ListView1();
        QCOMPARE(cell(log, 4, LogColumn::WindowTitle), QStringLiteral("Chart"));
        QCOMPARE(cell(log, 4, LogColumn::Application), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        QVERIFY(qAbs(dwellmark::leadingNumber(log.text(4, LogColumn::Total)) - 1.0) <= 1.0);
        QCOMPARE(m_tracker->findTotalsRow("Chart"), std::size_t{3});
        // The chart window is gone, and so is its row.
        QTRY_COMPARE(m_tracker->lvwHidden().rowCount(), std::size_t{2});
    }
};

QTEST_MAIN(EndToEndTest)
#include "e2e_test.moc"
