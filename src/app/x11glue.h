// What Qt needs to know to run beside the X11 backend.
#pragma once

namespace dwellmark::app {

/// To be called before the application object exists. Makes Qt use X11 (the
/// tracker follows X11 windows and must recognise its own window among them,
/// so under a Wayland session the window goes through Xwayland too), and has
/// Qt's own notice of a broken X connection end the program with the same
/// line as the backend's, whichever notices first.
void prepareQtForX11();

} // namespace dwellmark::app
