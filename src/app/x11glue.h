// What Qt needs to know to run beside the X11 backend.
#pragma once

namespace dwellmark::app {

/// To be called before the application object exists. Has Qt's own notice of
/// a broken X connection end the program with the same line as the backend's,
/// whichever notices first. (Which protocol Qt speaks is chosen in run().)
void prepareQtForX11();

/// To be called before the application object exists, when Qt speaks X11:
/// Qt sends what it draws over its connection instead of through shared
/// memory. With shared memory it must wait for the X server (a round trip,
/// through its reader thread) before it draws again where it drew last, as
/// it does on nearly every switch in the totals; the few rows a switch
/// changes cost less to send.
void drawOverTheConnection();

/// To be called once the application object exists, when Qt speaks X11:
/// Qt's own connection stops taking the root window's property changes. The
/// backend takes those that tell of the foreground on its own connection; on
/// Qt's they woke its reader thread and then its main thread two or three
/// times a switch, only for Qt to find nothing there for it but the desktop's
/// work area, which the program's windows need only when they are placed.
void leaveRootPropertiesToBackend();

} // namespace dwellmark::app
