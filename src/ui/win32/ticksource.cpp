// The choice between change-driven ticks and the 1 ms timer.
#include "ui/win32/ticksource.h"

#include "tracking/tickpacer.h"
#include "tracking/windowsystem.h"
#include "ui/win32/changeticks.h"
#include "ui/win32/periodicticks.h"

#include <cstdio>

namespace dwellmark::ui::win32 {

std::unique_ptr<TickSource> makeTickSource(WindowSystem& windows) {
    auto changeTicks = std::make_unique<ChangeTicks>(windows);
    ChangeTicks* reports = changeTicks.get();
    if (windows.setChangeListener([reports] { reports->changed(); })) {
        return changeTicks;
    }
    std::fputs(timerFallbackNotice.data(), stderr);
    std::fflush(stderr);
    return std::make_unique<PeriodicTicks>();
}

} // namespace dwellmark::ui::win32
