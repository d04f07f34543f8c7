#include "form1.h"

#include "checkbox.h"
#include "cursorfile.h"
#include "form2.h"
#include "listview.h"
#include "mainmodule.h"
#include "tablemodel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>

namespace dwellmark::ui {

namespace {

QFont listFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.0);
    font.setBold(true);
    return font;
}

QFont checkBoxFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    font.setBold(true);
    return font;
}

ListView* makeList(QWidget* parent, const char* name, QRect geometry, TableModel& model) {
    auto* view = new ListView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setGeometry(geometry);
    view->setFont(listFont());
    // The lists keep the standard pointer whatever the window's pointer setting.
    view->setCursor(Qt::ArrowCursor);
    model.attachTo(*view);
    return view;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* box = new CheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    box->setFont(checkBoxFont());
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, Qt::white);
    box->setPalette(palette);
    return box;
}

} // namespace

Form1::Form1(ActivityTracker& tracker, const QString& programFolder, TickSource ticks, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_tracker(tracker), m_programFolder(programFolder), m_ticks(m_tmrMain, tracker.windows(), ticks),
      m_logModel(new TableModel(tracker.ListView1(), this)), m_totalsModel(new TableModel(tracker.ListView2(), this)),
      m_openModel(new TableModel(tracker.lvwHidden(), this)),
      m_listView1(makeList(this, "ListView1", QRect(8, 8, 544, 257), *m_logModel)),
      m_listView2(makeList(this, "ListView2", QRect(8, 272, 544, 253), *m_totalsModel)),
      m_lvwHidden(makeList(this, "lvwHidden", QRect(8, 568, 136, 41), *m_openModel)),
      m_check2(makeCheckBox(this, "Check2", QStringLiteral("Display Chart"), QRect(8, 528, 273, 25))),
      m_check1(makeCheckBox(this, "Check1", QStringLiteral("Hide Me"), QRect(288, 528, 265, 25))) {
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(559, 562);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    QPixmap blank(32, 32);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));

    m_lvwHidden->setVisible(false);
    setTabOrder(m_listView1, m_listView2);
    setTabOrder(m_listView2, m_lvwHidden);
    setTabOrder(m_lvwHidden, m_check2);
    setTabOrder(m_check2, m_check1);
    m_listView1->setFocus();

    setMouseTracking(true);
    watchMouseMoves(*m_listView1);
    watchMouseMoves(*m_listView2);
    m_check2->setMouseTracking(true);
    m_check2->installEventFilter(this);

    connect(m_check1, &QCheckBox::toggled, this, &Form1::Check1_Click);
    connect(m_check2, &QCheckBox::toggled, this, &Form1::Check2_Click);

    connect(&m_tmrMain, &QTimer::timeout, this, &Form1::tmrMain_Timer);

    Form_Load();

    // On Wayland winId() is no number of the desktop's: the desktop finds the
    // window by its title and application id among this process's windows.
    m_tracker.identifyMainWindow(static_cast<WindowHandle>(winId()), windowTitle().toStdString(),
                                 QGuiApplication::desktopFileName().toStdString());
    m_ticks.start();
}

Form1::~Form1() {
    m_ticks.stop();
    // The views go before the models they show.
    delete m_listView1;
    delete m_listView2;
    delete m_lvwHidden;
}

void Form1::Form_Load() {
    centerForm(*this);
    const QString pointerFile = QDir(m_programFolder).filePath(QString::fromLatin1(pointerFileName));
    if (fileExists(pointerFile)) {
        // A file that is there but is no cursor leaves the window without one.
        m_customPointer = loadCursorFile(pointerFile);
    }
    setWindowTitle(QStringLiteral("Dwellmark"));
    m_tracker.setLoggedSeconds(-1);
}

void Form1::Form_Unload() {
    m_ticks.stop();
    emit unloaded();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form1::tmrMain_Timer() {
    m_tracker.tmrMain_Timer();
    m_ticks.ticked();
}

QString Form1::hideMeMessage() {
    return QStringLiteral("Please email ") + QStringLiteral(DWELLMARK_SUPPORT_EMAIL) +
           QStringLiteral(" if you would like this feature added (so that user can not see this program running).");
}

void Form1::Check1_Click() {
    if (!m_check1->isChecked()) {
        return;
    }
    m_check1->setChecked(false);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Dwellmark"), hideMeMessage(), QMessageBox::Ok, this);
    box.exec();
}

void Form1::Check2_Click() {
    if (!m_check2->isChecked()) {
        return;
    }
    m_check2->setChecked(false);
    const ActivityTable& totals = m_tracker.ListView2();
    if (totals.rowCount() == 0) {
        return;
    }
    Form2 chart;
    chart.fill(totals);
    chart.exec();
}

void Form1::setMousePointer(MousePointer pointer) {
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

void Form1::pointerToUnlessBusy(MousePointer pointer) {
    if (m_mousePointer != MousePointer::Busy && m_mousePointer != pointer) {
        setMousePointer(pointer);
    }
}

void Form1::Form_MouseMove() {
    pointerToUnlessBusy(MousePointer::Default);
}
void Form1::ListView1_MouseMove() {
    pointerToUnlessBusy(MousePointer::Default);
}
void Form1::ListView2_MouseMove() {
    pointerToUnlessBusy(MousePointer::Default);
}
void Form1::Check2_MouseMove() {
    pointerToUnlessBusy(MousePointer::Custom);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    // A move over a child without a handler of its own ("Hide Me") reaches
    // the window too; only the bare background counts.
    if (childAt(event->position().toPoint()) == nullptr) {
        Form_MouseMove();
    }
    QWidget::mouseMoveEvent(event);
}

void Form1::watchMouseMoves(QWidget& widget) {
    widget.setMouseTracking(true);
    widget.installEventFilter(this);
    for (QWidget* child : widget.findChildren<QWidget*>()) {
        child->setMouseTracking(true);
        child->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == m_check2) {
            Check2_MouseMove();
        } else if (widget == m_listView1 || m_listView1->isAncestorOf(widget)) {
            ListView1_MouseMove();
        } else if (widget == m_listView2 || m_listView2->isAncestorOf(widget)) {
            ListView2_MouseMove();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dwellmark::ui
