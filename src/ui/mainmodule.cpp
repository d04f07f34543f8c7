#include "mainmodule.h"

#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace dwellmark::ui {

namespace {

void placeAtCentre(QWidget& form) {
    QScreen* screen = form.screen() != nullptr ? form.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect whole = screen->geometry();
    const QSize outer = form.frameGeometry().size();
    // Window positions are whole pixels; an odd difference leaves the extra
    // pixel on the right and at the bottom.
    const int left = whole.x() + (whole.width() - outer.width()) / 2;
    const int top = whole.y() + (whole.height() - outer.height()) / 2;
    form.move(left, top);
}

// The frame of a window is known only after the window manager has put it
// round the mapped window; then the window is centred once more by its real
// outer size, and this watcher goes.
class FrameWatcher final : public QObject {
public:
    static constexpr const char* name = "dwellmark-frame-watcher";

    explicit FrameWatcher(QWidget& form) : QObject(&form), m_form(&form) {
        setObjectName(QString::fromLatin1(name));
        form.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_form && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
            m_form->isVisible() && m_form->frameGeometry().size() != m_form->size()) {
            m_form->removeEventFilter(this);
            placeAtCentre(*m_form);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> m_form;
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
