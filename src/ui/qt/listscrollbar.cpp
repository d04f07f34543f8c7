// The scroll bar of the main window's lists, which draws again only what a longer list changes on it.
#include "listscrollbar.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace dwellmark::ui {

ListScrollBar::ListScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

QRect ListScrollBar::handleRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
}

void ListScrollBar::setRangeFollowing(int minimum, int maximum, bool toEnd) {
    m_following = true;
    setRange(minimum, maximum);
    if (toEnd) {
        setValue(this->maximum());
    }
    m_following = false;
    sliderChange(SliderRangeChange);
}

void ListScrollBar::sliderChange(SliderChange change) {
    if (m_following) {
        return;
    }
    // QScrollBar does nothing on a change but draw itself again whole. A style
    // may draw the arrows of an end that the handle reaches or leaves in
    // another way, so that is drawn whole too.
    if (change != SliderRangeChange || m_drawnHandle.isNull() || m_drawnAtMinimum != (value() == minimum()) ||
        m_drawnAtMaximum != (value() == maximum())) {
        QScrollBar::sliderChange(change);
        return;
    }
    if (const QRect handle = handleRect(); handle != m_drawnHandle) {
        update(m_drawnHandle.united(handle));
    }
}

void ListScrollBar::paintEvent(QPaintEvent* event) {
    m_drawnHandle = handleRect();
    m_drawnAtMinimum = value() == minimum();
    m_drawnAtMaximum = value() == maximum();
    // Under the mouse, or held by it, the bar shows which part the mouse is
    // on, which only QScrollBar knows: it draws itself then.
    const qreal ratio = devicePixelRatioF();
    const int band = std::max(1, static_cast<int>(bandLines / ratio));
    const QRect area = event->rect();
    if (underMouse() || QApplication::mouseButtons() != Qt::NoButton) {
        QScrollBar::paintEvent(event);
        return;
    }
    // Each band is drawn whole into a strip of its own, which no fill can
    // overrun, and laid where the bar is to be drawn. Clipping alone is not
    // enough, even for a short area: the groove's edges are stroked whole
    // first and clipped after, and so went to Qt's threads at every row.
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    QImage strip(QSize(width(), band) * ratio, QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(ratio);
    QPainter painter(this);
    for (int top = area.top(); top <= area.bottom(); top += band) {
        strip.fill(Qt::transparent);
        QPainter stripPainter(&strip);
        stripPainter.setFont(font());
        stripPainter.setPen(palette().color(foregroundRole()));
        stripPainter.translate(0, -top);
        // The style draws the whole bar; what lies outside the area, in the
        // last band above all, costs nothing clipped.
        stripPainter.setClipRect(QRect(area.left(), top, area.width(), std::min(band, area.bottom() + 1 - top)));
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &stripPainter, this);
        stripPainter.end();
        painter.drawImage(QPoint(0, top), strip);
    }
}

} // namespace dwellmark::ui
