#pragma once

#include "listview.h"
#include "tickdriver.h"
#include "tracking/activitytracker.h"
#include "ui/pointerrules.h"

#include <QCursor>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;

namespace dwellmark::ui {

class TableModel;

/// The main window "Dwellmark": the usage log above, the totals below, and the
/// check boxes "Display Chart" and "Hide Me". Its timer drives the tracker from
/// start to close, also while a modal window is open: as soon as the desktop
/// reports a change (at most once a millisecond, and once a second besides),
/// or every millisecond where the desktop reports nothing or the caller asks
/// for the timer.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    /// The tracker must outlive the window. The pointer file is looked for in
    /// programFolder. ticks: where the ticks come from; tests and benchmarks
    /// may choose the 1 ms timer. notice: a line about how the desktop is
    /// seen, shown below the check boxes in a strip that the window grows by;
    /// none when empty.
    explicit Form1(ActivityTracker& tracker, const QString& programFolder, TickSource ticks = TickSource::DesktopEvents,
                   const QString& notice = {}, QWidget* parent = nullptr);
    ~Form1() override;

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    ActivityTracker& tracker() const { return m_tracker; }

    ListView* ListView1() const { return m_listView1.get(); }
    ListView* ListView2() const { return m_listView2.get(); }
    ListView* lvwHidden() const { return m_lvwHidden.get(); }
    QCheckBox* Check1() const { return m_check1; }
    QCheckBox* Check2() const { return m_check2; }
    /// How the ticks are driven.
    const TickDriver& ticks() const { return m_ticks; }
    QTimer& tmrMain() { return m_tmrMain; }
    /// Whether tmrMain follows the desktop's change reports (false: every millisecond).
    bool ticksFollowDesktop() const { return m_ticks.followsDesktop(); }

    MousePointer mousePointer() const { return m_mousePointer; }
    void setMousePointer(MousePointer pointer);
    /// The pointer loaded from the pointer file at start, if there was a usable one.
    const std::optional<QCursor>& customPointer() const { return m_customPointer; }

    /// The notice line; hidden when there is no notice.
    QLabel* notice() const { return m_notice; }

    /// The text of the "Hide Me" answer.
    static QString hideMeMessage();

    // Event procedures.
    void tmrMain_Timer();
    void Check1_Click();
    void Check2_Click();

signals:
    /// The window has closed and the program is ending.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void Form_MouseMove();
    void ListView1_MouseMove();
    void ListView2_MouseMove();
    void Check2_MouseMove();
    void pointerAfterMoveOver(MouseArea area);
    void watchMouseMoves(QWidget& widget);

    ActivityTracker& m_tracker;
    QString m_programFolder;
    QTimer m_tmrMain;
    TickDriver m_ticks;
    // The models are declared before the views, so the views that show them
    // go first.
    std::unique_ptr<TableModel> m_logModel;
    std::unique_ptr<TableModel> m_totalsModel;
    std::unique_ptr<TableModel> m_openModel;
    std::unique_ptr<ListView> m_listView1;
    std::unique_ptr<ListView> m_listView2;
    std::unique_ptr<ListView> m_lvwHidden;
    QCheckBox* m_check2;
    QCheckBox* m_check1;
    QLabel* m_notice;
    MousePointer m_mousePointer = MousePointer::Default;
    std::optional<QCursor> m_customPointer;
};

} // namespace dwellmark::ui
