// The main window "Dwellmark": the two lists, the check boxes and what they open.
#pragma once

#include "chartwindow.h"
#include "listview.h"
#include "tickdriver.h"
#include "tracking/activitytracker.h"
#include "ui/pointerrules.h"

#include <QCursor>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class QCheckBox;
class QLabel;
class QMessageBox;
class QPushButton;

namespace dwellmark::ui {

class TableModel;

/// What the notice offers to do with one click: the caption of its button,
/// and the doing, in two steps. accept may wait for the desktop for seconds,
/// so it runs on a thread of its own and must touch nothing of the window's
/// thread; the step it returns runs on the window's thread and answers with
/// the notice that follows (empty: the desktop is seen in full from then on,
/// and the notice goes). The button is greyed meanwhile, and the notice
/// says what is being done (working).
struct NoticeOffer {
    QString caption;
    std::function<std::function<QString()>()> accept;
    QString working{};
};

/// The main window "Dwellmark": the usage log above, the totals below, and the
/// check boxes "Display Chart" and "Hide Me". Its timer drives the tracker from
/// start to close, also while a modal window is open: as soon as the desktop
/// reports a change (at most once a millisecond, and now and then for safety),
/// or every millisecond where the desktop reports nothing or the caller asks
/// for the timer.
class MainWindow final : public QWidget {
    Q_OBJECT

public:
    /// The tracker and changes (the desktop's change reports) must outlive
    /// the window. The pointer file is looked for in programFolder. ticks:
    /// where the ticks come from; tests and benchmarks may choose the 1 ms
    /// timer. notice: a line about how the desktop is seen, shown below the
    /// check boxes in a strip that the window grows by; none when empty.
    /// offer: a button beside the notice that sets right what it tells of.
    explicit MainWindow(ActivityTracker& tracker, ChangeFeed& changes, const QString& programFolder,
                        TickSource ticks = TickSource::DesktopEvents, const QString& notice = {},
                        NoticeOffer offer = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    ActivityTracker& tracker() const { return m_tracker; }

    ListView* usageLog() const { return m_usageLog.get(); }
    ListView* totals() const { return m_totals.get(); }
    ListView* openStretches() const { return m_openStretches.get(); }
    QCheckBox* hideMeBox() const { return m_hideMeBox; }
    QCheckBox* displayChartBox() const { return m_displayChartBox; }
    /// How the ticks are driven.
    const TickDriver& ticks() const { return m_ticks; }
    QTimer& tickTimer() { return m_tickTimer; }
    /// Whether tickTimer follows the desktop's change reports (false: every millisecond).
    bool ticksFollowDesktop() const { return m_ticks.followsDesktop(); }

    MousePointer mousePointer() const { return m_mousePointer; }
    void setMousePointer(MousePointer pointer);
    /// The pointer loaded from the pointer file at start, if there was a usable one.
    const std::optional<QCursor>& customPointer() const { return m_customPointer; }

    /// The notice line; hidden when there is no notice.
    QLabel* notice() const { return m_notice; }
    /// The button of the notice's offer; hidden when there is none.
    QPushButton* noticeOffer() const { return m_offerButton; }

    /// The chart window while one is open (modal, deleted when it closes).
    ChartWindow* chartWindow() const { return m_chart; }

    /// The text of the "Hide Me" answer.
    static QString hideMeMessage();

    // What the timer and the check boxes run.
    void tick();
    void hideMeClicked();
    void displayChartClicked();
    /// Does what the notice offers, and shows what follows.
    void noticeOfferClicked();

signals:
    /// The window has closed and the program is ending.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onLoad();
    void onUnload();
    /// The offer's first step is done: runs the step it gave, on the window's thread.
    void noticeOfferDone(const std::function<QString()>& finish);
    void mouseMovedOverWindow();
    void mouseMovedOverUsageLog();
    void mouseMovedOverTotals();
    void mouseMovedOverDisplayChartBox();
    void pointerAfterMoveOver(MouseArea area);
    void watchMouseMoves(QWidget& widget);

    ActivityTracker& m_tracker;
    QString m_programFolder;
    QTimer m_tickTimer;
    TickDriver m_ticks;
    // The models are declared before the views, so the views that show them
    // go first.
    std::unique_ptr<TableModel> m_logModel;
    std::unique_ptr<TableModel> m_totalsModel;
    std::unique_ptr<TableModel> m_openModel;
    std::unique_ptr<ListView> m_usageLog;
    std::unique_ptr<ListView> m_totals;
    std::unique_ptr<ListView> m_openStretches;
    QCheckBox* m_displayChartBox;
    QCheckBox* m_hideMeBox;
    QLabel* m_notice;
    QPushButton* m_offerButton;
    NoticeOffer m_offer;
    // The offer's first step, while it runs.
    std::thread m_offerWork;
    QPointer<ChartWindow> m_chart;
    QPointer<QMessageBox> m_hideMeAnswer;
    MousePointer m_mousePointer = MousePointer::Default;
    std::optional<QCursor> m_customPointer;
};

} // namespace dwellmark::ui
