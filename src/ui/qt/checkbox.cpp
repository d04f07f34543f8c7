#include "checkbox.h"

namespace dwellmark::ui {

bool CheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

} // namespace dwellmark::ui
