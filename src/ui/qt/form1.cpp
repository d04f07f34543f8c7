#include "form1.h"

#include "checkbox.h"
#include "cursorfile.h"
#include "form1accessible.h"
#include "form2.h"
#include "listview.h"
#include "mainmodule.h"
#include "tablemodel.h"
#include "ui/layout.h"
#include "ui/texts.h"

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
    box->setAutoFillBackground(true);
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

} // namespace

Form1::Form1(ActivityTracker& tracker, const QString& programFolder, TickSource ticks, const QString& notice,
             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_tracker(tracker), m_programFolder(programFolder), m_ticks(m_tmrMain, tracker.windows(), ticks),
      m_logModel(std::make_unique<TableModel>(tracker.ListView1())),
      m_totalsModel(std::make_unique<TableModel>(tracker.ListView2())),
      m_openModel(std::make_unique<TableModel>(tracker.lvwHidden())),
      m_listView1(makeList(this, layout::Control::ListView1, *m_logModel)),
      m_listView2(makeList(this, layout::Control::ListView2, *m_totalsModel)),
      m_lvwHidden(makeList(this, layout::Control::lvwHidden, *m_openModel)),
      m_check2(makeCheckBox(this, layout::Control::Check2, texts::check2Caption)),
      m_check1(makeCheckBox(this, layout::Control::Check1, texts::check1Caption)), m_notice(makeNotice(this)) {
    Form1Accessible::install();
    setObjectName(QStringLiteral("Form1"));
    // The size is final before the window is made and centred.
    const layout::Size client = notice.isEmpty() ? layout::form1Client : layout::form1ClientWithNotice;
    setFixedSize(client.width, client.height);
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    QPixmap blank(32, 32);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));

    m_lvwHidden->setVisible(false);
    setTabOrder(m_listView1.get(), m_listView2.get());
    setTabOrder(m_listView2.get(), m_lvwHidden.get());
    setTabOrder(m_lvwHidden.get(), m_check2);
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
}

void Form1::Form_Load() {
    centerForm(*this);
    const QString pointerFile = QDir(m_programFolder).filePath(QString::fromLatin1(texts::pointerFileName));
    if (fileExists(pointerFile)) {
        // A file that is there but is no cursor leaves the window without one.
        m_customPointer = loadCursorFile(pointerFile);
    }
    setWindowTitle(QString::fromUtf8(texts::form1Caption));
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
    return QString::fromStdString(texts::hideMeMessage());
}

void Form1::Check1_Click() {
    if (!m_check1->isChecked()) {
        return;
    }
    m_check1->setChecked(false);
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(texts::form1Caption), hideMeMessage(), QMessageBox::Ok,
                    this);
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

void Form1::pointerAfterMoveOver(MouseArea area) {
    const MousePointer pointer = pointerAfterMove(m_mousePointer, area);
    if (pointer != m_mousePointer) {
        setMousePointer(pointer);
    }
}

void Form1::Form_MouseMove() {
    pointerAfterMoveOver(MouseArea::Background);
}
void Form1::ListView1_MouseMove() {
    pointerAfterMoveOver(MouseArea::ListView1);
}
void Form1::ListView2_MouseMove() {
    pointerAfterMoveOver(MouseArea::ListView2);
}
void Form1::Check2_MouseMove() {
    pointerAfterMoveOver(MouseArea::Check2);
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
        } else if (widget == m_listView1.get() || m_listView1->isAncestorOf(widget)) {
            ListView1_MouseMove();
        } else if (widget == m_listView2.get() || m_listView2->isAncestorOf(widget)) {
            ListView2_MouseMove();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dwellmark::ui
