// The scroll bar of the main window's lists, which draws again only what a longer list changes on it.
#pragma once

#include <QRect>
#include <QScrollBar>

namespace dwellmark::ui {

/// A scroll bar that, when its range changes (a row added to a long list),
/// draws again only where its handle was last drawn and where it is now,
/// instead of the whole bar. The groove and the arrows look the same as long
/// as the handle stays at an end or away from both, so nothing else needs
/// drawing; any other change draws the whole bar. It draws in bands of a few
/// dozen lines: Qt hands taller fills to threads of its own, and waking them
/// costs more than the few thousand pixels of a narrow bar.
class ListScrollBar final : public QScrollBar {
    Q_OBJECT

public:
    explicit ListScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    /// The most lines one fill covers: Qt's raster engine shares out taller
    /// fills among its threads (95 lines still are).
    static constexpr int bandLines = 64;

    /// Sets the range and, when toEnd, moves the handle to the end, drawn as
    /// one change: a list that follows its new rows draws the handle alone
    /// rather than the whole bar for a handle that left the end for a moment.
    void setRangeFollowing(int minimum, int maximum, bool toEnd);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    /// Where the style puts the handle now.
    QRect handleRect() const;

    // The handle as last drawn, and whether it sat at either end then.
    QRect m_drawnHandle;
    bool m_drawnAtMinimum = false;
    bool m_drawnAtMaximum = false;
    // Set while setRangeFollowing() makes its changes.
    bool m_following = false;
};

} // namespace dwellmark::ui
