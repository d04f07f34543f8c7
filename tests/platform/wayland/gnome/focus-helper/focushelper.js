// A GNOME Shell extension only for Dwellmark's tests, never installed: the
// test's headless shell focuses no new window on its own, so the tests ask
// this to focus a process's window, on a bus name of its own. The build puts
// it into the extension.js of each variant (42/, 45/), as it does Dwellmark's
// own extension.

const interfaceXml = `<node>
  <interface name="org.dwellmark.TestFocus">
    <method name="ActivateProcess">
      <arg type="u" name="pid" direction="in"/>
      <arg type="b" name="found" direction="out"/>
    </method>
  </interface>
</node>`;

class FocusHelper {
    enable() {
        this._exported = Gio.DBusExportedObject.wrapJSObject(interfaceXml, this);
        this._exported.export(Gio.DBus.session, '/org/dwellmark/TestFocus');
        this._owner = Gio.bus_own_name_on_connection(Gio.DBus.session, 'org.dwellmark.TestFocus',
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    disable() {
        Gio.bus_unown_name(this._owner);
        this._exported.unexport();
        this._exported = null;
    }

    ActivateProcess(pid) {
        for (const actor of global.get_window_actors()) {
            const window = actor.meta_window;
            if (window.get_pid() === pid) {
                window.activate(global.get_current_time());
                return true;
            }
        }
        return false;
    }
}
