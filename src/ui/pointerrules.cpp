// The pointer rules of the main window's mouse-move events.
#include "ui/pointerrules.h"

namespace dwellmark::ui {

MousePointer pointerAfterMove(MousePointer current, MouseArea area) {
    if (current == MousePointer::Busy) {
        return current;
    }
    switch (area) {
    case MouseArea::displayChartBox:
        return MousePointer::Custom;
    case MouseArea::Background:
    case MouseArea::usageLog:
    case MouseArea::totals:
        return MousePointer::Default;
    case MouseArea::hideMeBox:
        break;
    }
    // "Hide Me" has no mouse-move procedure: the pointer stays as it came.
    return current;
}

} // namespace dwellmark::ui
