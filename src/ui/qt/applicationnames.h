// The names the Qt application gives itself.
#pragma once

namespace dwellmark::ui {

/// Names the running QApplication "Dwellmark" (with its desktop file name and
/// version). It sets no display name: Qt would append one to every window
/// title on X11 ("Chart — Dwellmark"), and the chart is captioned "Chart".
void nameApplication(const char* version);

} // namespace dwellmark::ui
