// The layouts of the main window and the chart window, shared by every front end.
#pragma once

#include <array>

namespace dwellmark::ui::layout {

/// A rectangle in pixels at 96 dpi, from the top-left corner of the client area.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

/// A size in pixels at 96 dpi.
struct Size {
    int width = 0;
    int height = 0;
};

/// A font by face, size in points and weight.
struct Font {
    const char* face = "";
    double points = 0.0;
    bool bold = false;
};

/// The controls of the main window, in tab order.
enum class Control { usageLog, totals, openStretches, displayChartBox, hideMeBox };

/// One control of the main window: its name, where it sits and whether it is shown.
struct ControlLayout {
    Control control;
    const char* name;
    Rect rect;
    bool shown;
};

/// The main window's client area.
inline constexpr Size mainWindowClient{559, 562};

/// The controls of the main window, in tab order; focus starts on the first.
inline constexpr std::array<ControlLayout, 5> mainWindowControls{{
    {Control::usageLog, "usageLog", {8, 8, 544, 257}, true},
    {Control::totals, "totals", {8, 272, 544, 253}, true},
    {Control::openStretches, "openStretches", {8, 568, 136, 41}, false},
    {Control::displayChartBox, "displayChartBox", {8, 528, 273, 25}, true},
    {Control::hideMeBox, "hideMeBox", {288, 528, 265, 25}, true},
}};

/// A notice about how the desktop is seen, below the check boxes, shown only
/// when there is one; the client area then grows by the strip it needs, and
/// every other control keeps its place.
inline constexpr Rect noticeRect{8, 560, 544, 44};
inline constexpr Size mainWindowClientWithNotice{mainWindowClient.width, noticeRect.top + noticeRect.height + 6};
/// The font of the notice.
inline constexpr Font noticeFont{"Arial", 9.0, false};

/// The place of a control of the main window.
constexpr const ControlLayout& controlLayout(Control control) {
    for (const ControlLayout& item : mainWindowControls) {
        if (item.control == control) {
            return item;
        }
    }
    return mainWindowControls[0];
}

/// The font of the lists.
inline constexpr Font listFont{"Arial", 9.0, true};
/// The font of the check boxes.
inline constexpr Font checkBoxFont{"Arial", 11.25, true};

/// The chart window's client area.
inline constexpr Size chartWindowClient{629, 577};
/// The chart inside the chart window: it runs past the client area on the
/// left, right and bottom, so that its own border is cut off.
inline constexpr Rect chartRect{-8, 0, 643, 581};

/// A column width in pixels at 96 dpi from its width in points (0.75 point to the pixel).
constexpr int pointsToPixels(int points) {
    return (points * 4 + 1) / 3;
}

/// A font size in pixels at 96 dpi (the height of the em), rounded.
constexpr int fontPixels(const Font& font) {
    return static_cast<int>(font.points * 96.0 / 72.0 + 0.5);
}

} // namespace dwellmark::ui::layout
