// Dwellmark's KWin script: KWin runs it when it shows its windows to no other
// program, and it tells Dwellmark on the session bus which window KWin
// activates, when a window's caption changes and when a window closes. Every
// value goes as text, so that the call's signature never depends on how the
// script engine types a number. Plasma 6 renamed the window signals; both
// names are tried.
const service = "org.dwellmark.KWin";
const path = "/org/dwellmark/KWin";
const iface = "org.dwellmark.KWin";

function idOf(window) {
    return String(window.internalId);
}

function report(window) {
    if (!window) {
        // KWin's "no window", sent just before each real activation.
        callDBus(service, path, iface, "Activated", "", "", "", "0");
        return;
    }
    callDBus(service, path, iface, "Activated", idOf(window), String(window.caption), String(window.resourceClass),
             String(window.pid));
}

function follow(window) {
    window.captionChanged.connect(function () {
        callDBus(service, path, iface, "CaptionChanged", idOf(window), String(window.caption));
    });
}

const activated = workspace.windowActivated || workspace.clientActivated;
const added = workspace.windowAdded || workspace.clientAdded;
const removed = workspace.windowRemoved || workspace.clientRemoved;
const existing = workspace.windowList ? workspace.windowList() : workspace.clientList();

existing.forEach(follow);
added.connect(follow);
removed.connect(function (window) {
    callDBus(service, path, iface, "Removed", idOf(window));
});
activated.connect(report);
report(workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient);
