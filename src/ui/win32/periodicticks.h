// Ticks every millisecond from the multimedia timer.
#pragma once

#include "ui/win32/ticksource.h"

#include <atomic>

namespace dwellmark::ui::win32 {

/// A tick about every millisecond. SetTimer cannot go below 10 ms (some 64
/// ticks a second on Windows), so the multimedia timer fires on its own thread
/// and posts the tick to the window.
class PeriodicTicks final : public TickSource {
public:
    explicit PeriodicTicks(unsigned int intervalMs = 1) : m_intervalMs(intervalMs) {}
    ~PeriodicTicks() override;

    void start(HWND window, UINT message) override;
    void stop() override;
    void ticked() override { m_pending.store(false); }

    /// Posts one tick unless one is already waiting; safe from any thread.
    void post();

private:
    unsigned int m_intervalMs;
    unsigned int m_timer = 0;
    HWND m_window = nullptr;
    UINT m_message = 0;
    std::atomic<bool> m_pending{false};
};

} // namespace dwellmark::ui::win32
