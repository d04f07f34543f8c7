// What the main window must look like on every front end, written down once for the tests of each.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace dwellmark::testing::expected {

/// The main window's client area at 96 dpi.
inline constexpr int clientWidth = 559;
inline constexpr int clientHeight = 562;

/// A control of the main window: where it sits at 96 dpi, from the top-left
/// corner of the client area, and whether it is shown.
struct Control {
    int left;
    int top;
    int width;
    int height;
    bool shown;
};

/// The usage log, the totals, the open stretches, "Display Chart" and "Hide Me", in tab order.
inline constexpr std::array<Control, 5> mainWindowControls{{
    {8, 8, 544, 257, true},
    {8, 272, 544, 253, true},
    {8, 568, 136, 41, false},
    {8, 528, 273, 25, true},
    {288, 528, 265, 25, true},
}};

/// A list's column headers and their widths in pixels at 96 dpi (0: a hidden column).
struct List {
    std::vector<std::string> headers;
    std::vector<int> widths;
};

/// The usage log, the totals and the open stretches.
inline const std::array<List, 3> mainWindowLists{{
    {{"Application", "Window Title", "Time Start", "Time End", "Time", "Total"}, {113, 233, 0, 0, 133, 60}},
    {{"Application", "Window Title", "Total Time", "Total Seconds"}, {133, 267, 100, 0}},
    {{"Handle", "Application", "Window Title", "Timer Start", "Timer End"}, {67, 67, 133, 96, 96}},
}};

} // namespace dwellmark::testing::expected
