// Ticks when the desktop reports a change, and once a second for safety.
#pragma once

#include "ui/win32/ticksource.h"

#include <cstdint>

namespace dwellmark::ui::win32 {

/// Ticks driven by a backend that reports every change of the desktop: one
/// tick per burst of reports, at most one a millisecond, and a safety tick
/// every second in case a report went missing. Runs on the window's thread.
class ChangeTicks final : public TickSource {
public:
    ChangeTicks() = default;
    ~ChangeTicks() override;

    void start(HWND window, UINT message) override;
    void stop() override;
    void ticked() override;
    void timerFired(UINT_PTR id) override;

    /// The desktop may have changed.
    void changed();

    static constexpr UINT_PTR safetyTimerId = 0x7D31;
    static constexpr UINT_PTR gapTimerId = 0x7D32;
    static constexpr UINT safetyIntervalMs = 1000;

private:
    void post();

    HWND m_window = nullptr;
    UINT m_message = 0;
    bool m_running = false;
    bool m_pending = false;
    bool m_waitingForGap = false;
    std::uint64_t m_lastTick = 0;
};

} // namespace dwellmark::ui::win32
