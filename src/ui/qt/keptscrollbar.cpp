// The scroll bar of the main window's lists: it keeps its last drawing and draws again only what changed.
#include "keptscrollbar.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <array>

namespace dwellmark::ui {

namespace {

// Whether no pixel of the area lets what lies behind show through.
bool allOpaque(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qAlpha(line[x]) != 255) {
                return false;
            }
        }
    }
    return true;
}

// How many lines at either end of a handle a style may draw unlike its middle.
constexpr int handleEndLines = 3;

// The handle's length when its middle, in the drawing, looks the same line
// after line along the bar; 0 when it does not, or when it is too short to tell.
int uniformHandleLength(const QImage& drawing, const QRect& handle, Qt::Orientation orientation) {
    const qreal ratio = drawing.devicePixelRatio();
    const bool vertical = orientation == Qt::Vertical;
    const QRect middle = QTransform::fromScale(ratio, ratio)
                             .mapRect(vertical ? handle.adjusted(0, handleEndLines, 0, -handleEndLines)
                                               : handle.adjusted(handleEndLines, 0, -handleEndLines, 0))
                             .intersected(drawing.rect());
    if (middle.width() < 2 || middle.height() < 2) {
        return 0;
    }
    const auto* first = reinterpret_cast<const QRgb*>(drawing.constScanLine(middle.top()));
    for (int y = middle.top(); y <= middle.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(drawing.constScanLine(y));
        for (int x = middle.left(); x <= middle.right(); ++x) {
            if (line[x] != (vertical ? first[x] : line[middle.left()])) {
                return 0;
            }
        }
    }
    return vertical ? handle.height() : handle.width();
}

// Whether the handle sits at either end: a style may draw the arrows of an
// end that the handle reaches in another way.
bool sameEnds(const QStyleOptionSlider& a, const QStyleOptionSlider& b) {
    return (a.sliderPosition == a.minimum) == (b.sliderPosition == b.minimum) &&
           (a.sliderPosition == a.maximum) == (b.sliderPosition == b.maximum);
}

} // namespace

KeptScrollBar::KeptScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

void KeptScrollBar::hold() {
    m_holding = true;
}

void KeptScrollBar::release() {
    m_holding = false;
    if (m_heldChange) {
        m_heldChange = false;
        sliderChange(SliderRangeChange);
    }
}

QStyleOptionSlider KeptScrollBar::currentOption() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    return option;
}

QRect KeptScrollBar::handleRect(const QStyleOptionSlider& option) const {
    // A style may draw the handle's edge a pixel beyond its place.
    return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this)
        .adjusted(-1, -1, 1, 1);
}

bool KeptScrollBar::keptDrawingMatches(const QStyleOptionSlider& option) const {
    const QStyleOptionSlider& kept = m_keptOption;
    const qreal ratio = devicePixelRatioF();
    return !m_kept.isNull() && m_kept.devicePixelRatio() == ratio && m_keptStyle == style() &&
           kept.rect == option.rect && kept.state == option.state && kept.direction == option.direction &&
           kept.palette == option.palette && kept.orientation == option.orientation &&
           kept.upsideDown == option.upsideDown && kept.activeSubControls == option.activeSubControls &&
           kept.styleObject == option.styleObject && sameEnds(kept, option);
}

void KeptScrollBar::sliderChange(SliderChange change) {
    if (m_holding) {
        m_heldChange = true;
        return;
    }
    const QStyleOptionSlider option = currentOption();
    if (change == SliderOrientationChange || !keptDrawingMatches(option)) {
        QScrollBar::sliderChange(change);
        return;
    }
    const QRect was = handleRect(m_keptOption);
    if (const QRect now = handleRect(option); now != was) {
        update(changedHandleArea(was, now));
    }
}

QRegion KeptScrollBar::changedHandleArea(const QRect& was, const QRect& now) const {
    const bool vertical = orientation() == Qt::Vertical;
    const QRegion both = QRegion(was).united(now);
    if ((vertical ? now.height() : now.width()) > m_uniformHandleLength) {
        return both;
    }
    // The middle of a handle looks the same line after line, as its last
    // drawing whole showed: what lies there in both places stays as it is.
    QRegion changed = QRegion(was).xored(now);
    for (const QRect& handle : {was, now}) {
        const std::array ends = vertical ? std::array{handle.top(), handle.bottom()}
                                         : std::array{handle.left(), handle.right()};
        for (const int end : ends) {
            changed += vertical ? QRect(0, end - handleEndLines, width(), 2 * handleEndLines + 1)
                                : QRect(end - handleEndLines, 0, 2 * handleEndLines + 1, height());
        }
    }
    return changed & both;
}

void KeptScrollBar::paintEvent(QPaintEvent* event) {
    // The mouse on the bar shows which part it is on, which only QScrollBar
    // knows; a fading bar changes on its own.
    if (underMouse() || QGuiApplication::mouseButtons() != Qt::NoButton ||
        style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this) != 0) {
        m_kept = QImage();
        QScrollBar::paintEvent(event);
        return;
    }
    const QStyleOptionSlider option = currentOption();
    QRegion stale;
    if (!keptDrawingMatches(option)) {
        const qreal ratio = devicePixelRatioF();
        m_kept = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        m_kept.setDevicePixelRatio(ratio);
        stale = rect();
    } else if (const QRect was = handleRect(m_keptOption), now = handleRect(option); was != now) {
        stale = changedHandleArea(was, now) & rect();
    }
    if (!stale.isEmpty()) {
        // Each part is drawn whole into a strip of its own: a style may set a
        // clip of its own while it draws, and a strip is the one bound it
        // cannot lift.
        QPainter keptPainter(&m_kept);
        keptPainter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& area : stale) {
            QImage strip(area.size() * m_kept.devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
            strip.setDevicePixelRatio(m_kept.devicePixelRatio());
            strip.fill(Qt::transparent);
            QPainter painter(&strip);
            painter.translate(-area.topLeft());
            painter.setFont(font());
            painter.setPen(palette().color(foregroundRole()));
            style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
            painter.end();
            keptPainter.drawImage(area.topLeft(), strip);
        }
        keptPainter.end();
        const bool whole = stale == QRegion(rect());
        const QTransform toPixels = QTransform::fromScale(m_kept.devicePixelRatio(), m_kept.devicePixelRatio());
        m_keptOpaque = whole || m_keptOpaque;
        for (const QRect& area : stale) {
            m_keptOpaque = m_keptOpaque && allOpaque(m_kept, toPixels.mapRect(area) & m_kept.rect());
        }
        if ((QRegion(handleRect(option) & rect()) - stale).isEmpty()) {
            m_uniformHandleLength = uniformHandleLength(m_kept, handleRect(option), orientation());
        }
        m_keptOption = option;
        m_keptStyle = style();
    }
    if (!m_keptOpaque) {
        // What shows through would be missing from the kept drawing.
        m_kept = QImage();
        QScrollBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_kept);
}

} // namespace dwellmark::ui
