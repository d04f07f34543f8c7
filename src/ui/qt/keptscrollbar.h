// The scroll bar of the main window's lists: it keeps its last drawing and draws again only what changed.
#pragma once

#include <QImage>
#include <QPalette>
#include <QRect>
#include <QRegion>
#include <QScrollBar>
#include <QStyleOptionSlider>

namespace dwellmark::ui {

/// A QScrollBar that keeps what it last drew, as the style drew it, and
/// shows it again when asked to draw a bar that has not changed. Qt asks a
/// lot of that: a scroll area stacks its scroll bars anew at each layout, and
/// a list lays itself out for every row it gains, so the whole bar is asked
/// for each time although only its handle moved. When the range or the
/// position changes, only the handle's old and new places are drawn again.
/// Anything else (size, state, palette, style, the mouse on the bar) draws
/// the whole bar as QScrollBar does; so does a style that leaves parts of the
/// bar see-through, as a kept drawing would not show what lies behind it.
class KeptScrollBar final : public QScrollBar {
    Q_OBJECT

public:
    explicit KeptScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    /// Holds back the bar's drawing through several changes of range and
    /// position (a list that gains a row and follows it), so that they are
    /// drawn as one; release() ends it.
    void hold();
    void release();

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The style's view of the bar as it would be drawn now.
    QStyleOptionSlider currentOption() const;
    QRect handleRect(const QStyleOptionSlider& option) const;
    // What of the bar a handle moved from was to now changes.
    QRegion changedHandleArea(const QRect& was, const QRect& now) const;
    // Whether the kept drawing shows the bar as option describes it, save
    // for the handle's place.
    bool keptDrawingMatches(const QStyleOptionSlider& option) const;

    QImage m_kept;
    // What the kept drawing shows: the option it was drawn from (the
    // handle's place included) and whether every pixel of it is opaque.
    QStyleOptionSlider m_keptOption;
    const QStyle* m_keptStyle = nullptr;
    bool m_keptOpaque = false;
    // Up to which length the handle's middle was seen to look the same line
    // after line (0: not seen so).
    int m_uniformHandleLength = 0;
    bool m_holding = false;
    bool m_heldChange = false;
};

} // namespace dwellmark::ui
