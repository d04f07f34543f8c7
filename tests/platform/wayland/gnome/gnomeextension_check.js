// Runs the GNOME 45 variant of Dwellmark's extension in GJS outside GNOME
// Shell: loaded as an ES module the way GNOME Shell 45 loads it (its Extension
// base class stubbed beside it), on a private session bus, with a fake shell
// `global` of two windows. Checks what Dwellmark's GNOME backend relies on:
// the bus name while enabled, GetFocused, FocusChanged on a new focus and on
// a new title, WindowClosed, nothing more (no ActivateProcess), and that
// disable() lets go of the name and of every shell signal. Exits 1 with a line on the first fault.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import System from 'system';
import {Extension} from './shellextension.js';
import DwellmarkExtension from './extension.js';

const busName = 'org.dwellmark.Focus';
const objectPath = '/org/dwellmark/Focus';

class FakeSignals {
    constructor() {
        this._handlers = new Map();
        this._next = 1;
    }

    connect(name, handler) {
        const id = this._next++;
        this._handlers.set(id, [name, handler]);
        return id;
    }

    disconnect(id) {
        if (!this._handlers.delete(id))
            throw new Error(`disconnect of a signal that is not connected: ${id}`);
    }

    emit(name, ...args) {
        for (const [signal, handler] of [...this._handlers.values()]) {
            if (signal === name)
                handler(this, ...args);
        }
    }

    get connected() {
        return this._handlers.size;
    }
}

const display = new FakeSignals();

class FakeWindow extends FakeSignals {
    constructor(title, wmClass, appId, pid, id) {
        super();
        Object.assign(this, {title, wmClass, appId, pid, id});
    }

    get_title() {
        return this.title;
    }

    get_wm_class() {
        return this.wmClass;
    }

    get_gtk_application_id() {
        return this.appId;
    }

    get_pid() {
        return this.pid;
    }

    get_id() {
        return this.id;
    }

    activate() {
        display.focus_window = this;
        display.emit('notify::focus-window');
    }

    retitle(title) {
        this.title = title;
        this.emit('notify::title');
    }
}

const editor = new FakeWindow('Notes \u2013 Gr\u00fc\u00dfe', 'editor', 'org.example.Editor', 4242, 7);
const browser = new FakeWindow('News', 'browser', null, 5151, 9);
const windows = [editor, browser];
display.focus_window = editor;
globalThis.global = {
    display,
    get_window_actors: () => windows.map(window => ({meta_window: window})),
    get_current_time: () => 0,
};

function call(destination, path, iface, method, args) {
    return new Promise((resolve, reject) => {
        Gio.DBus.session.call(destination, path, iface, method, args, null, Gio.DBusCallFlags.NONE, -1, null,
            (connection, result) => {
                try {
                    resolve(connection.call_finish(result).deepUnpack());
                } catch (error) {
                    reject(error);
                }
            });
    });
}

function focusCall(method, args = null) {
    return call(busName, objectPath, busName, method, args);
}

async function nameOwned() {
    const [owned] = await call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
        'NameHasOwner', new GLib.Variant('(s)', [busName]));
    return owned;
}

// The limit only catches a hang.
function until(condition, what) {
    return new Promise((resolve, reject) => {
        const deadline = GLib.get_monotonic_time() + 60 * 1000 * 1000;
        const poll = async () => {
            if (await condition()) {
                resolve();
            } else if (GLib.get_monotonic_time() > deadline) {
                reject(new Error(`never: ${what}`));
            } else {
                GLib.timeout_add(GLib.PRIORITY_DEFAULT, 10, () => {
                    poll().catch(reject);
                    return GLib.SOURCE_REMOVE;
                });
            }
        };
        poll().catch(reject);
    });
}

const received = [];
Gio.DBus.session.signal_subscribe(null, busName, null, objectPath, null, Gio.DBusSignalFlags.NONE,
    (_connection, _sender, _path, _iface, signal, parameters) => received.push([signal, parameters.deepUnpack()]));

function expectEqual(actual, expected, what) {
    const a = JSON.stringify(actual);
    const e = JSON.stringify(expected);
    if (a !== e)
        throw new Error(`${what}: ${a}, expected ${e}`);
}

async function expectSignal(signal, args, what) {
    await until(() => received.some(([name, values]) => name === signal &&
        JSON.stringify(values) === JSON.stringify(args)), `${what}: ${signal}${JSON.stringify(args)} ` +
        `among ${JSON.stringify(received)}`);
    received.length = 0;
}

async function main() {
    if (!(DwellmarkExtension.prototype instanceof Extension))
        throw new Error('the default export does not extend GNOME Shell\'s Extension');
    const extension = new DwellmarkExtension({uuid: 'dwellmark@dwellmark.org'});
    extension.enable();
    await until(nameOwned, `${busName} owned once enabled`);

    expectEqual(await focusCall('GetFocused'), ['Notes \u2013 Gr\u00fc\u00dfe', 'editor', 'org.example.Editor', 4242, 7],
        'GetFocused');

    browser.activate();
    await expectSignal('FocusChanged', ['News', 'browser', 'browser', 5151, 9], 'a new focus');
    browser.retitle('News, later');
    await expectSignal('FocusChanged', ['News, later', 'browser', 'browser', 5151, 9], 'a new title');
    // The title of a window that has lost the focus is no longer followed.
    editor.activate();
    await expectSignal('FocusChanged', ['Notes \u2013 Gr\u00fc\u00dfe', 'editor', 'org.example.Editor', 4242, 7],
        'the focus back');
    if (browser.connected !== 1)
        throw new Error(`${browser.connected} signals on a window without the focus, expected its unmanaged`);

    // Nothing else is offered: no program may have the extension raise a window.
    const raised = await focusCall('ActivateProcess', new GLib.Variant('(u)', [5151])).then(() => true,
        error => !error.matches(Gio.DBusError, Gio.DBusError.UNKNOWN_METHOD));
    if (raised)
        throw new Error('the extension answers ActivateProcess');
    expectEqual(display.focus_window, editor, 'the focus after ActivateProcess was refused');
    received.length = 0;
    browser.emit('unmanaged');
    await expectSignal('WindowClosed', [9], 'a window gone');

    extension.disable();
    await until(async () => !await nameOwned(), `${busName} let go once disabled`);
    // The window that went is left to the shell, which drops its signals with it.
    const left = [display, editor].reduce((sum, object) => sum + object.connected, 0);
    if (left !== 0)
        throw new Error(`${left} shell signals still connected after disable()`);
}

const loop = new GLib.MainLoop(null, false);
let status = 0;
main().catch(error => {
    printerr(`gnomeextension_check: ${error.message}`);
    status = 1;
}).finally(() => loop.quit());
loop.run();
System.exit(status);
