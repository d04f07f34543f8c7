#pragma once

#include <QString>

class QWidget;

namespace dwellmark::ui {

/// Places a top-level window at the centre of its whole screen (task bars
/// included), by its outer size: frame and title bar count. A window that has
/// no frame yet (not shown) is placed again once the window manager has given
/// it one.
void centerForm(QWidget& form);

/// Whether the file's modification time can be read: true for anything that
/// exists and can be reached, whatever it is.
bool fileExists(const QString& path);

} // namespace dwellmark::ui
