// Ending the program after a failure that nothing caught.
#include "ui/win32/failure.h"

#include "ui/texts.h"
#include "ui/win32/widetext.h"

namespace dwellmark::ui::win32 {

namespace {

bool s_failing = false;

} // namespace

bool failing() {
    return s_failing;
}

void failAndExit(const std::string& what) {
    s_failing = true;
    // Not owned by any window of the program: they may be what failed.
    MessageBoxW(nullptr, widen(texts::failureMessage(what)).c_str(), widen(texts::mainWindowCaption).c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
}

} // namespace dwellmark::ui::win32
