// Dwellmark: records which window holds the foreground, and for how long.

#include "app/linux/x11glue.h"
#include "app/program.h"

int main(int argc, char* argv[]) {
    dwellmark::app::prepareQtForX11();

    return dwellmark::app::run(argc, argv);
}
