// What the pointer of the main window becomes as it moves over its parts; shared by every front end.
#pragma once

namespace dwellmark::ui {

/// What the main window shows as the pointer over its background and its
/// check boxes. Custom is the hand loaded at start, or the arrow without one.
enum class MousePointer { Default, Busy, Custom };

/// The parts of the main window that a mouse move can be reported on.
enum class MouseArea { Background, usageLog, totals, displayChartBox, hideMeBox };

/// The pointer setting after a move over area: custom over "Display Chart",
/// default over the background and the lists, unchanged over "Hide Me" and
/// whenever the window is busy.
MousePointer pointerAfterMove(MousePointer current, MouseArea area);

} // namespace dwellmark::ui
