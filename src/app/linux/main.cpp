// Dwellmark: records which window holds the foreground, and for how long.

#include "app/qtprogram.h"
#include "app/x11glue.h"

int main(int argc, char* argv[]) {
    dwellmark::app::prepareQtForX11();

    return dwellmark::app::run(argc, argv);
}
