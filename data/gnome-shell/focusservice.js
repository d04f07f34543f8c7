// What Dwellmark's GNOME Shell extension does, whichever way GNOME Shell
// loads it: GNOME Shell shows the focused window to no other program, so this
// owns the bus name org.dwellmark.Focus on the session bus, answers
// GetFocused() and sends FocusChanged when the focus or the focused window's
// title changes, and WindowClosed when a window goes. The build puts it into
// the extension.js of each variant (42/, 45/), whose own lines bring Gio,
// GLib and GNOME Shell's global in, and hand FocusService to GNOME Shell.

const busName = 'org.dwellmark.Focus';
const objectPath = '/org/dwellmark/Focus';
const interfaceXml = `<node>
  <interface name="org.dwellmark.Focus">
    <method name="GetFocused">
      <arg type="s" name="title" direction="out"/>
      <arg type="s" name="wmClass" direction="out"/>
      <arg type="s" name="appId" direction="out"/>
      <arg type="u" name="pid" direction="out"/>
      <arg type="t" name="id" direction="out"/>
    </method>
    <signal name="FocusChanged">
      <arg type="s" name="title"/>
      <arg type="s" name="wmClass"/>
      <arg type="s" name="appId"/>
      <arg type="u" name="pid"/>
      <arg type="t" name="id"/>
    </signal>
    <signal name="WindowClosed">
      <arg type="t" name="id"/>
    </signal>
  </interface>
</node>`;

function describe(window) {
    if (!window)
        return ['', '', '', 0, 0];
    // A Wayland window's app id is its WM class; GTK programs name theirs too.
    const appId = window.get_gtk_application_id() || window.get_wm_class() || '';
    return [window.get_title() || '', window.get_wm_class() || '', appId, Math.max(window.get_pid(), 0),
        window.get_id()];
}

class FocusService {
    enable() {
        this._exported = Gio.DBusExportedObject.wrapJSObject(interfaceXml, this);
        this._exported.export(Gio.DBus.session, objectPath);
        this._owner = Gio.bus_own_name_on_connection(Gio.DBus.session, busName, Gio.BusNameOwnerFlags.NONE,
            null, null);
        this._titleWindow = null;
        this._titleSignal = 0;
        this._windowSignals = new Map();
        this._focusSignal = global.display.connect('notify::focus-window', () => this._focusChanged());
        this._createdSignal = global.display.connect('window-created', (_display, window) => this._watch(window));
        for (const actor of global.get_window_actors())
            this._watch(actor.meta_window);
        this._focusChanged();
    }

    disable() {
        global.display.disconnect(this._focusSignal);
        global.display.disconnect(this._createdSignal);
        this._followTitle(null);
        for (const [window, signal] of this._windowSignals)
            window.disconnect(signal);
        this._windowSignals.clear();
        Gio.bus_unown_name(this._owner);
        this._exported.unexport();
        this._exported = null;
    }

    GetFocused() {
        return describe(global.display.focus_window);
    }

    _watch(window) {
        if (this._windowSignals.has(window))
            return;
        const id = window.get_id();
        this._windowSignals.set(window, window.connect('unmanaged', () => {
            this._windowSignals.delete(window);
            if (this._titleWindow === window)
                this._followTitle(null);
            this._exported.emit_signal('WindowClosed', new GLib.Variant('(t)', [id]));
        }));
    }

    _followTitle(window) {
        if (this._titleWindow && this._titleSignal)
            this._titleWindow.disconnect(this._titleSignal);
        this._titleWindow = window;
        this._titleSignal = window ? window.connect('notify::title', () => this._emitFocus()) : 0;
    }

    _focusChanged() {
        this._followTitle(global.display.focus_window);
        this._emitFocus();
    }

    _emitFocus() {
        this._exported.emit_signal('FocusChanged',
            new GLib.Variant('(sssut)', describe(global.display.focus_window)));
    }
}
