// The Linux platform: the backend that suits the session, and the local clock.
#include "platform/platform.h"

#include "platform/linux/backendchoice.h"
#include "platform/linux/localclock.h"
#include "platform/linux/loginsessionlock.h"
#include "platform/linux/windowsystem.h"
#include "platform/wayland/gnome/gnomewindowsystem.h"
#include "platform/wayland/kde/kdewindowsystem.h"
#include "platform/wayland/kde/kwinscriptwindowsystem.h"
#include "platform/wayland/waylanddisplay.h"
#include "platform/wayland/waylandwindowsystem.h"
#include "platform/wayland/wlroots/wlrootswindowsystem.h"
#include "platform/x11/x11windowsystem.h"
#include "tracking/lockawarewindowsystem.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace dwellmark::platform {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// How long the shell may take to turn the extension on; the main window goes on meanwhile.
constexpr std::chrono::seconds enableLimit(10);

void warn(const std::string& line) {
    if (!line.empty()) {
        std::fprintf(stderr, "dwellmark: %s\n", line.c_str());
    }
}

// Follows GNOME Shell through its extension once enabled tells that it runs;
// the notice that follows.
std::string followGnomeExtension(linux::SwitchableWindowSystem& windows, const std::string& waylandDisplay,
                                 bool enabled) {
    std::string failure;
    if (!enabled) {
        failure = "GNOME Shell did not turn Dwellmark's extension on (log out and in, then enable it: "
                  "gnome-extensions enable dwellmark@dwellmark.org)";
    } else if (auto display = wayland::WaylandDisplay::connect(waylandDisplay); display == nullptr) {
        failure = "no Wayland compositor answers at WAYLAND_DISPLAY=" + waylandDisplay;
    } else {
        try {
            windows.switchTo(std::make_unique<wayland::GnomeWindowSystem>(std::move(display)));
            return {};
        } catch (const PlatformError& error) {
            failure = error.what();
        }
    }
    failure += ": only the windows of X11 programs (Xwayland) are seen";
    warn(failure);
    return failure;
}

// What a click on the main window's offer does: GNOME Shell enables the
// extension (away from the user-interface thread, as the shell takes its
// time), and the program follows the shell through it from then on.
std::function<std::string()> enableGnomeExtension(linux::SwitchableWindowSystem& windows,
                                                  const std::string& waylandDisplay) {
    const bool enabled = wayland::GnomeWindowSystem::enableExtension(enableLimit);
    return [&windows, waylandDisplay, enabled] { return followGnomeExtension(windows, waylandDisplay, enabled); };
}

Desktop openBackend();

// A backend that is its own change feed.
template <typename Backend>
Desktop desktopOf(std::unique_ptr<Backend> backend, std::string notice = {}) {
    ChangeFeed* changes = backend.get();
    return {std::move(backend), changes, std::move(notice)};
}

} // namespace

Desktop openDesktop() {
    Desktop desktop = openBackend();
    // Whichever backend follows the windows, a locked session has none in front.
    std::string problem;
    if (auto lock = linux::LoginSessionLock::open(*desktop.changes, problem)) {
        desktop.changes = &lock->changes();
        desktop.windows = std::make_unique<LockAwareWindowSystem>(std::move(desktop.windows), std::move(lock));
    }
    warn(problem);
    return desktop;
}

namespace {

Desktop openBackend() {
    linux::SessionFacts facts;
    facts.waylandDisplay = environment("WAYLAND_DISPLAY");
    facts.x11Display = environment("DISPLAY");
    facts.sessionType = environment("XDG_SESSION_TYPE");
    std::unique_ptr<wayland::WaylandDisplay> compositor;
    std::string kwinScript;
    if (!facts.waylandDisplay.empty()) {
        compositor = wayland::WaylandDisplay::connect(facts.waylandDisplay);
        facts.waylandReachable = compositor != nullptr;
        facts.wlrootsToplevels = compositor && compositor->find(wayland::WlrootsWindowSystem::protocol) != nullptr;
        facts.kdeWindows = compositor && compositor->find(wayland::KdeWindowSystem::protocol) != nullptr;
        if (compositor && !facts.wlrootsToplevels && !facts.kdeWindows) {
            kwinScript = wayland::KwinScriptWindowSystem::findScript();
            facts.kwinOnBus = !kwinScript.empty() && wayland::KwinScriptWindowSystem::kwinOnBus();
        }
        if (compositor && !facts.wlrootsToplevels && !facts.kdeWindows && !facts.kwinOnBus) {
            const auto names = wayland::GnomeWindowSystem::findBusNames();
            facts.gnomeExtension = names.extension;
            facts.gnomeShell = names.shell;
            facts.gnomeExtensionKnown = names.extensionKnown;
        }
    }
    const linux::BackendChoice choice = linux::chooseBackend(facts);
    switch (choice.backend) {
    case linux::Backend::Wlroots: {
        std::optional<std::string> swaySocket;
        if (const char* socket = std::getenv("SWAYSOCK"); socket != nullptr) {
            swaySocket = socket;
        }
        return desktopOf(std::make_unique<wayland::WlrootsWindowSystem>(std::move(compositor), swaySocket));
    }
    case linux::Backend::Kde:
        return desktopOf(std::make_unique<wayland::KdeWindowSystem>(std::move(compositor)));
    case linux::Backend::KwinScript:
        return desktopOf(std::make_unique<wayland::KwinScriptWindowSystem>(std::move(compositor), kwinScript));
    case linux::Backend::Gnome:
        return desktopOf(std::make_unique<wayland::GnomeWindowSystem>(std::move(compositor)));
    case linux::Backend::X11: {
        compositor.reset();
        std::unique_ptr<x11::X11WindowSystem> windows;
        try {
            windows = std::make_unique<x11::X11WindowSystem>(facts.x11Display);
        } catch (const PlatformError& failure) {
            if (choice.waylandMissing.empty()) {
                throw;
            }
            // Name the Wayland side too: both were tried.
            throw PlatformError(choice.waylandMissing + ", and " + failure.what());
        }
        warn(choice.message);
        // A Wayland session seen through Xwayland misses the native windows:
        // the main window says so too. WAYLAND_DISPLAY unset on purpose is the
        // user's choice, and stays a line on standard error.
        if (!choice.offerGnomeExtension) {
            return desktopOf(std::move(windows), choice.waylandMissing.empty() ? std::string() : choice.message);
        }
        // GNOME Shell knows the extension: a click enables it, and the
        // program goes on through it.
        ChangeFeed& changes = *windows;
        auto switchable = std::make_unique<linux::SwitchableWindowSystem>(std::move(windows), changes);
        Desktop desktop{nullptr, switchable.get(), choice.message, linux::enableGnomeExtensionCaption,
                        [backend = switchable.get(), waylandDisplay = facts.waylandDisplay] {
                            return enableGnomeExtension(*backend, waylandDisplay);
                        }};
        desktop.offerWorking = "Waiting for GNOME Shell to turn Dwellmark's extension on (up to 10 seconds)";
        desktop.windows = std::move(switchable);
        return desktop;
    }
    case linux::Backend::None:
        break;
    }
    throw PlatformError(choice.message);
}

} // namespace

DisplayProtocol displayProtocol(const WindowSystem& windows) {
    const auto* locking = dynamic_cast<const LockAwareWindowSystem*>(&windows);
    const WindowSystem& backend = locking != nullptr ? locking->backend() : windows;
    return dynamic_cast<const wayland::WaylandWindowSystem*>(&backend) != nullptr ? DisplayProtocol::Wayland
                                                                                  : DisplayProtocol::X11;
}

std::unique_ptr<TimeOfDayClock> createClock() {
    return std::make_unique<linux::LocalClock>();
}

} // namespace dwellmark::platform
