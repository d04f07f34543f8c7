// Dwellmark: records which window holds the foreground, and for how long.

#include "program.h"

#ifdef DWELLMARK_X11_GLUE
#include "x11glue.h"
#endif

int main(int argc, char* argv[]) {
#ifdef DWELLMARK_X11_GLUE
    dwellmark::app::prepareQtForX11();
#endif

    return dwellmark::app::run(argc, argv);
}
