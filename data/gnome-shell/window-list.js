// Qualdern's window list inside GNOME Shell: offers every window's title, wm_class, process and focus on
// the session bus, asked for with GetWindows and announced with WindowsChanged whenever a window appears,
// goes, takes the focus, is retitled, minimized or moved to another workspace. Shared by both forms of the
// extension (GNOME 42-44 and 45 onwards), which give it Gio, GLib and Meta.

const BUS_NAME = 'com.corvella.Qualdern.Shell';
const OBJECT_PATH = '/com/corvella/Qualdern/Shell';
const INTERFACE_XML = `<node>
  <interface name="com.corvella.Qualdern.Shell">
    <method name="GetWindows"><arg type="s" direction="out" name="windows"/></method>
    <signal name="WindowsChanged"><arg type="s" name="windows"/></signal>
  </interface>
</node>`;
// Changes come in bursts (a new window is titled, focused and placed at once): one announcement each.
const ANNOUNCE_DELAY_MS = 50;
const WINDOW_SIGNALS = ['notify::title', 'notify::minimized', 'notify::wm-class', 'notify::above',
    'notify::skip-taskbar', 'workspace-changed'];

class QualdernWindowList {
    constructor() {
        this._windowSignals = new Map();
        this._shellSignals = [];
        this._pending = 0;
        this._ownerId = 0;
        this._exported = null;
    }

    enable() {
        this._exported = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, this);
        this._exported.export(Gio.DBus.session, OBJECT_PATH);
        this._ownerId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
        this._connectShell(global.display, 'window-created', (display, window) => {
            this._watch(window);
            this._changed();
        });
        this._connectShell(global.display, 'notify::focus-window', () => this._changed());
        this._connectShell(global.workspace_manager, 'active-workspace-changed', () => this._changed());
        for (const actor of global.get_window_actors())
            this._watch(actor.meta_window);
    }

    disable() {
        for (const [object, id] of this._shellSignals)
            object.disconnect(id);
        this._shellSignals = [];
        for (const window of [...this._windowSignals.keys()])
            this._unwatch(window);
        if (this._pending)
            GLib.source_remove(this._pending);
        this._pending = 0;
        if (this._ownerId)
            Gio.bus_unown_name(this._ownerId);
        this._ownerId = 0;
        if (this._exported)
            this._exported.unexport();
        this._exported = null;
    }

    GetWindows() {
        return this._describe();
    }

    _connectShell(object, signal, handler) {
        this._shellSignals.push([object, object.connect(signal, handler)]);
    }

    _watch(window) {
        if (!window || this._windowSignals.has(window))
            return;
        const ids = WINDOW_SIGNALS.map(signal => window.connect(signal, () => this._changed()));
        ids.push(window.connect('unmanaged', () => {
            this._unwatch(window);
            this._changed();
        }));
        this._windowSignals.set(window, ids);
    }

    _unwatch(window) {
        for (const id of this._windowSignals.get(window) || [])
            window.disconnect(id);
        this._windowSignals.delete(window);
    }

    _changed() {
        if (this._pending)
            return;
        this._pending = GLib.timeout_add(GLib.PRIORITY_DEFAULT, ANNOUNCE_DELAY_MS, () => {
            this._pending = 0;
            if (this._exported)
                this._exported.emit_signal('WindowsChanged', new GLib.Variant('(s)', [this._describe()]));
            return GLib.SOURCE_REMOVE;
        });
    }

    // Front to back: the stacking order, top first.
    _describe() {
        const workspace = global.workspace_manager.get_active_workspace();
        const focus = global.display.focus_window;
        const windows = global.get_window_actors()
            .map(actor => actor.meta_window)
            .filter(window => window && !window.is_override_redirect());
        const stacked = global.display.sort_windows_by_stacking(windows).reverse();
        const list = stacked.map(window => ({
            id: String(window.get_id()),
            title: window.get_title() || '',
            'class': window.get_wm_class() || '',
            instance: window.get_wm_class_instance() || '',
            pid: window.get_pid(),
            active: window === focus,
            minimized: window.minimized,
            currentDesktop: window.is_on_all_workspaces() || window.located_on_workspace(workspace),
            skipTaskbar: window.is_skip_taskbar(),
            above: window.is_above(),
            type: kindOf(window.get_window_type()),
        }));
        return JSON.stringify({windows: list});
    }
}

function kindOf(type) {
    switch (type) {
    case Meta.WindowType.NORMAL:
        return 'normal';
    case Meta.WindowType.DIALOG:
    case Meta.WindowType.MODAL_DIALOG:
        return 'dialog';
    case Meta.WindowType.UTILITY:
    case Meta.WindowType.TOOLBAR:
        return 'utility';
    case Meta.WindowType.DOCK:
        return 'dock';
    case Meta.WindowType.DESKTOP:
        return 'desktop';
    default:
        return 'transient';
    }
}
