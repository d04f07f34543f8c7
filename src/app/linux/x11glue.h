// What Qt needs to know to run beside the X11 backend.
#pragma once

namespace dwellmark::app {

/// To be called before the application object exists. Has Qt's own notice of
/// a broken X connection end the program with the same line as the backend's,
/// whichever notices first. (Which protocol Qt speaks is chosen in run().)
void prepareQtForX11();

} // namespace dwellmark::app
