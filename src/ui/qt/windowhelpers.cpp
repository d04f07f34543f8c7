#include "windowhelpers.h"

#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMargins>
#include <QObject>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace dwellmark::ui {

namespace {

// The frame and title bar round the window, as the window manager has drawn
// them; none before the window is shown.
QMargins frameOf(const QWidget& form) {
    const QWindow* window = form.windowHandle();
    return window != nullptr && form.isVisible() ? window->frameMargins() : QMargins();
}

void placeAtCentre(QWidget& form) {
    QScreen* screen = form.screen() != nullptr ? form.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect whole = screen->geometry();
    const QSize outer = form.size().grownBy(frameOf(form));
    // Window positions are whole pixels; an odd difference leaves the extra
    // pixel on the right and at the bottom.
    const int left = whole.x() + (whole.width() - outer.width()) / 2;
    const int top = whole.y() + (whole.height() - outer.height()) / 2;
    form.move(left, top);
}

// The frame of a window is known only after the window manager has put it
// round the mapped window; then the window is centred once more by its real
// outer size, and this watcher goes. The frame can arrive without a move of
// the window, so it is also looked for a few times after the window shows.
class FrameWatcher final : public QObject {
public:
    static constexpr const char* name = "dwellmark-frame-watcher";

    explicit FrameWatcher(QWidget& form) : QObject(&form), m_form(form) {
        setObjectName(QString::fromLatin1(name));
        form.installEventFilter(this);
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, [this] {
            if (++m_polls > maxPolls) {
                m_poll.stop();
            }
            check();
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_form) {
            if (event->type() == QEvent::Show) {
                m_polls = 0;
                m_poll.start();
            } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
                check();
            }
        }
        return false;
    }

private:
    static constexpr int maxPolls = 100;

    void check() {
        if (m_done || !m_form.isVisible() || frameOf(m_form).isNull()) {
            return;
        }
        m_done = true;
        m_poll.stop();
        m_form.removeEventFilter(this);
        placeAtCentre(m_form);
        deleteLater();
    }

    QWidget& m_form;
    QTimer m_poll;
    int m_polls = 0;
    bool m_done = false;
};

} // namespace

void centerForm(QWidget& form) {
    placeAtCentre(form);
    if (!form.isVisible() &&
        form.findChild<QObject*>(QString::fromLatin1(FrameWatcher::name), Qt::FindDirectChildrenOnly) == nullptr) {
        new FrameWatcher(form);
    }
}

bool fileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

} // namespace dwellmark::ui
