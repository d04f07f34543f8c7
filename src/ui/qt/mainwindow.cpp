// The main window "Dwellmark": the two lists, the check boxes and what they open.
#include "mainwindow.h"

#include "chartwindow.h"
#include "checkbox.h"
#include "cursorfile.h"
#include "listview.h"
#include "mainwindowaccessible.h"
#include "tablemodel.h"
#include "ui/layout.h"
#include "ui/texts.h"
#include "windowhelpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

namespace dwellmark::ui {

namespace {

QFont fontOf(const layout::Font& from) {
    QFont font(QString::fromLatin1(from.face));
    font.setPointSizeF(from.points);
    font.setBold(from.bold);
    return font;
}

QRect rectOf(layout::Control control) {
    const layout::Rect& rect = layout::controlLayout(control).rect;
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

std::unique_ptr<ListView> makeList(QWidget* parent, layout::Control control, TableModel& model) {
    auto view = std::make_unique<ListView>(parent);
    view->setObjectName(QString::fromLatin1(layout::controlLayout(control).name));
    view->setGeometry(rectOf(control));
    view->setFont(fontOf(layout::listFont));
    // The lists keep the standard pointer whatever the window's pointer setting.
    view->setCursor(Qt::ArrowCursor);
    model.attachTo(*view);
    return view;
}

QCheckBox* makeCheckBox(QWidget* parent, layout::Control control, const char* caption) {
    auto* box = new CheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(layout::controlLayout(control).name));
    box->setGeometry(rectOf(control));
    box->setFont(fontOf(layout::checkBoxFont));
    // A check box fills its background from the Button role unless told
    // otherwise; the window's white is Window.
    box->setAutoFillBackground(true);
    box->setBackgroundRole(QPalette::Window);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, Qt::white);
    box->setPalette(palette);
    return box;
}

QLabel* makeNotice(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lblNotice"));
    const layout::Rect& rect = layout::noticeRect;
    label->setGeometry(rect.left, rect.top, rect.width, rect.height);
    label->setFont(fontOf(layout::noticeFont));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setVisible(false);
    return label;
}

QPushButton* makeOfferButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QStringLiteral("cmdNoticeOffer"));
    const layout::Rect& rect = layout::noticeRect;
    constexpr int width = 150;
    constexpr int height = 28;
    button->setGeometry(rect.left + rect.width - width, rect.top + (rect.height - height) / 2, width, height);
    button->setFont(fontOf(layout::noticeFont));
    button->setVisible(false);
    return button;
}

} // namespace

MainWindow::MainWindow(ActivityTracker& tracker, ChangeFeed& changes, const QString& programFolder, TickSource ticks,
                       const QString& notice, NoticeOffer offer, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_tracker(tracker), m_programFolder(programFolder), m_ticks(m_tickTimer, changes, ticks),
      m_logModel(std::make_unique<TableModel>(tracker.usageLog())),
      m_totalsModel(std::make_unique<TableModel>(tracker.totals())),
      m_openModel(std::make_unique<TableModel>(tracker.openStretches())),
      m_usageLog(makeList(this, layout::Control::usageLog, *m_logModel)),
      m_totals(makeList(this, layout::Control::totals, *m_totalsModel)),
      m_openStretches(makeList(this, layout::Control::openStretches, *m_openModel)),
      m_displayChartBox(makeCheckBox(this, layout::Control::displayChartBox, texts::displayChartCaption)),
      m_hideMeBox(makeCheckBox(this, layout::Control::hideMeBox, texts::hideMeCaption)), m_notice(makeNotice(this)),
      m_offerButton(makeOfferButton(this, offer.caption)), m_offer(std::move(offer)) {
    MainWindowAccessible::install();
    setObjectName(QStringLiteral("MainWindow"));
    // The size is final before the window is made and centred.
    const layout::Size client = notice.isEmpty() ? layout::mainWindowClient : layout::mainWindowClientWithNotice;
    setFixedSize(client.width, client.height);
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
    if (!notice.isEmpty() && m_offer.accept) {
        m_notice->resize(m_notice->width() - m_offerButton->width() - 8, m_notice->height());
        m_offerButton->setVisible(true);
        connect(m_offerButton, &QPushButton::clicked, this, &MainWindow::noticeOfferClicked);
    }
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    QPixmap blank(32, 32);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));

    m_openStretches->setVisible(false);
    setTabOrder(m_usageLog.get(), m_totals.get());
    setTabOrder(m_totals.get(), m_openStretches.get());
    setTabOrder(m_openStretches.get(), m_displayChartBox);
    setTabOrder(m_displayChartBox, m_hideMeBox);
    m_usageLog->setFocus();

    setMouseTracking(true);
    watchMouseMoves(*m_usageLog);
    watchMouseMoves(*m_totals);
    m_displayChartBox->setMouseTracking(true);
    m_displayChartBox->installEventFilter(this);

    connect(m_hideMeBox, &QCheckBox::toggled, this, &MainWindow::hideMeClicked);
    connect(m_displayChartBox, &QCheckBox::toggled, this, &MainWindow::displayChartClicked);

    connect(&m_tickTimer, &QTimer::timeout, this, &MainWindow::tick);

    onLoad();

    // On Wayland winId() is no number of the desktop's: the desktop finds the
    // window by its title and application id among this process's windows.
    m_tracker.identifyMainWindow(static_cast<WindowHandle>(winId()), windowTitle().toStdString(),
                                 QGuiApplication::desktopFileName().toStdString());
    m_ticks.start();
}

void MainWindow::noticeOfferClicked() {
    if (m_offerWork.joinable()) {
        return;
    }
    // The window goes on ticking and drawing while the desktop takes its time.
    m_offerButton->setEnabled(false);
    if (!m_offer.working.isEmpty()) {
        m_notice->setText(m_offer.working);
    }
    m_offerWork = std::thread([this, accept = m_offer.accept] {
        std::function<QString()> finish = accept();
        // Dropped by Qt if the window is gone by then.
        QMetaObject::invokeMethod(
            this, [this, finish = std::move(finish)] { noticeOfferDone(finish); }, Qt::QueuedConnection);
    });
}

void MainWindow::noticeOfferDone(const std::function<QString()>& finish) {
    m_offerWork.join();
    m_offerButton->setEnabled(true);
    const QString next = finish ? finish() : QString();
    if (next.isEmpty()) {
        m_notice->setVisible(false);
        m_offerButton->setVisible(false);
        setFixedSize(layout::mainWindowClient.width, layout::mainWindowClient.height);
        return;
    }
    m_notice->setText(next);
}

MainWindow::~MainWindow() {
    if (m_offerWork.joinable()) {
        m_offerWork.join();
    }
    m_ticks.stop();
    delete m_chart.data();
}

void MainWindow::onLoad() {
    centerForm(*this);
    const QString pointerFile = QDir(m_programFolder).filePath(QString::fromLatin1(texts::pointerFileName));
    if (fileExists(pointerFile)) {
        // A file that is there but is no cursor leaves the window without one.
        m_customPointer = loadCursorFile(pointerFile);
    }
    setWindowTitle(QString::fromUtf8(texts::mainWindowCaption));
    m_tracker.setLoggedSeconds(-1);
}

void MainWindow::onUnload() {
    m_ticks.stop();
    emit unloaded();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    onUnload();
    event->accept();
}

void MainWindow::tick() {
    m_tracker.tick();
    m_ticks.ticked();
}

QString MainWindow::hideMeMessage() {
    return QString::fromStdString(texts::hideMeMessage());
}

void MainWindow::hideMeClicked() {
    if (!m_hideMeBox->isChecked()) {
        return;
    }
    m_hideMeBox->setChecked(false);
    // Shown, not exec()'d, as the chart is: a screen reader's "Toggle" gets its
    // answer at once. One answer at a time.
    if (m_hideMeAnswer != nullptr) {
        return;
    }
    m_hideMeAnswer = new QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(texts::mainWindowCaption), hideMeMessage(),
                                     QMessageBox::Ok, this);
    m_hideMeAnswer->setWindowModality(Qt::ApplicationModal);
    connect(m_hideMeAnswer, &QDialog::finished, m_hideMeAnswer, &QObject::deleteLater);
    m_hideMeAnswer->show();
}

void MainWindow::displayChartClicked() {
    if (!m_displayChartBox->isChecked()) {
        return;
    }
    m_displayChartBox->setChecked(false);
    const ActivityTable& totals = m_tracker.totals();
    // One chart at a time: a screen reader can still toggle the box while the
    // modal chart blocks the window.
    if (totals.rowCount() == 0 || m_chart != nullptr) {
        return;
    }
    // Shown, not exec()'d: whatever toggled the box gets control back at once.
    // A screen reader waits for the answer to its "Toggle" action, and would
    // give up on one that came only when the chart closed.
    m_chart = new ChartWindow;
    m_chart->setAttribute(Qt::WA_DeleteOnClose);
    m_chart->fill(totals);
    m_chart->show();
}

void MainWindow::setMousePointer(MousePointer pointer) {
    m_mousePointer = pointer;
    switch (pointer) {
    case MousePointer::Default:
        unsetCursor();
        break;
    case MousePointer::Busy:
        setCursor(Qt::WaitCursor);
        break;
    case MousePointer::Custom:
        setCursor(m_customPointer.value_or(QCursor(Qt::ArrowCursor)));
        break;
    }
}

void MainWindow::pointerAfterMoveOver(MouseArea area) {
    const MousePointer pointer = pointerAfterMove(m_mousePointer, area);
    if (pointer != m_mousePointer) {
        setMousePointer(pointer);
    }
}

void MainWindow::mouseMovedOverWindow() {
    pointerAfterMoveOver(MouseArea::Background);
}
void MainWindow::mouseMovedOverUsageLog() {
    pointerAfterMoveOver(MouseArea::usageLog);
}
void MainWindow::mouseMovedOverTotals() {
    pointerAfterMoveOver(MouseArea::totals);
}
void MainWindow::mouseMovedOverDisplayChartBox() {
    pointerAfterMoveOver(MouseArea::displayChartBox);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    // A move over a child without a handler of its own ("Hide Me") reaches
    // the window too; only the bare background counts.
    if (childAt(event->position().toPoint()) == nullptr) {
        mouseMovedOverWindow();
    }
    QWidget::mouseMoveEvent(event);
}

void MainWindow::watchMouseMoves(QWidget& widget) {
    widget.setMouseTracking(true);
    widget.installEventFilter(this);
    for (QWidget* child : widget.findChildren<QWidget*>()) {
        child->setMouseTracking(true);
        child->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == m_displayChartBox) {
            mouseMovedOverDisplayChartBox();
        } else if (widget == m_usageLog.get() || m_usageLog->isAncestorOf(widget)) {
            mouseMovedOverUsageLog();
        } else if (widget == m_totals.get() || m_totals->isAncestorOf(widget)) {
            mouseMovedOverTotals();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dwellmark::ui
