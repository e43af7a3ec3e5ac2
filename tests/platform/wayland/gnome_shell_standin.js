// Runs the window list of Qualdern's GNOME Shell extension (data/gnome-shell/window-list.js) in gjs, the
// JavaScript engine of GNOME Shell, against a small model of the shell (global.display, the workspace
// manager, window actors and Meta windows), on the session bus of DBUS_SESSION_BUS_ADDRESS.
//   gjs gnome_shell_standin.js PATH/window-list.js
// Commands on standard input, one JSON object per line, each answered with "ok":
//   {"op":"add","id":N,"title":..,"class":..,"instance":..,"pid":N,"type":"normal|dialog|utility|dock"}
//   {"op":"focus","id":N} {"op":"title","id":N,"title":..} {"op":"minimize","id":N,"on":true}
//   {"op":"workspace","number":N} {"op":"move","id":N,"workspace":N} {"op":"close","id":N}
//   {"op":"disable"} {"op":"quit"}
// It prints "ready" once the extension's name is on the bus.
'use strict';

const {Gio, GLib} = imports.gi;
const ByteArray = imports.byteArray;

// The parts of Meta the window list uses.
const Meta = {
    WindowType: {NORMAL: 0, DESKTOP: 1, DOCK: 2, DIALOG: 3, MODAL_DIALOG: 4, TOOLBAR: 5, MENU: 6, UTILITY: 7},
};

// connect/disconnect/emit as GObject signals have them.
class Emitter {
    constructor() {
        this._handlers = new Map();
        this._next = 1;
    }
    connect(signal, handler) {
        const id = this._next++;
        this._handlers.set(id, [signal, handler]);
        return id;
    }
    disconnect(id) {
        this._handlers.delete(id);
    }
    emit(signal, ...args) {
        for (const [name, handler] of [...this._handlers.values()]) {
            if (name === signal)
                handler(this, ...args);
        }
    }
    connections() {
        return this._handlers.size;
    }
}

const workspaces = [1, 2, 3, 4].map(n => ({index: n}));
let activeWorkspace = workspaces[0];

class FakeWindow extends Emitter {
    constructor(spec) {
        super();
        this.id = spec.id;
        this.title = spec.title || '';
        this.wmClass = spec.class || '';
        this.instance = spec.instance || '';
        this.pid = spec.pid || 0;
        this.type = {normal: Meta.WindowType.NORMAL, dialog: Meta.WindowType.DIALOG,
            utility: Meta.WindowType.UTILITY, dock: Meta.WindowType.DOCK}[spec.type || 'normal'];
        this.minimized = false;
        this.workspace = activeWorkspace;
        this.stacking = 0;
    }
    get_id() { return this.id; }
    get_title() { return this.title; }
    get_wm_class() { return this.wmClass; }
    get_wm_class_instance() { return this.instance; }
    get_pid() { return this.pid; }
    get_window_type() { return this.type; }
    is_override_redirect() { return false; }
    is_on_all_workspaces() { return false; }
    located_on_workspace(workspace) { return this.workspace === workspace; }
    is_skip_taskbar() { return false; }
    is_above() { return false; }
}

const windows = new Map();
let stackingCounter = 0;

const display = new Emitter();
display.focus_window = null;
display.sort_windows_by_stacking = list => [...list].sort((a, b) => a.stacking - b.stacking);
const workspaceManager = new Emitter();
workspaceManager.get_active_workspace = () => activeWorkspace;

globalThis.global = {
    display,
    workspace_manager: workspaceManager,
    get_window_actors: () => [...windows.values()].map(w => ({meta_window: w})),
};

const [, source] = GLib.file_get_contents(ARGV[0]);
const QualdernWindowList = new Function('Gio', 'GLib', 'Meta',
    `${ByteArray.toString(source)}\nreturn QualdernWindowList;`)(Gio, GLib, Meta);

const windowList = new QualdernWindowList();
windowList.enable();

function say(line) {
    print(line);
}

function raise(w) {
    w.stacking = ++stackingCounter;
}

function command(c) {
    const w = windows.get(c.id);
    switch (c.op) {
    case 'add': {
        const window = new FakeWindow(c);
        raise(window);
        windows.set(c.id, window);
        display.emit('window-created', window);
        return true;
    }
    case 'focus':
        raise(w);
        display.focus_window = w;
        display.emit('notify::focus-window');
        return true;
    case 'title':
        w.title = c.title;
        w.emit('notify::title');
        return true;
    case 'minimize':
        w.minimized = c.on;
        w.emit('notify::minimized');
        return true;
    case 'workspace':
        activeWorkspace = workspaces[c.number - 1];
        workspaceManager.emit('active-workspace-changed');
        return true;
    case 'move':
        w.workspace = workspaces[c.workspace - 1];
        w.emit('workspace-changed');
        return true;
    case 'close':
        windows.delete(c.id);
        if (display.focus_window === w)
            display.focus_window = null;
        w.emit('unmanaged');
        if (w.connections() !== 0)
            say(`leaked ${w.connections()} connections`);
        return true;
    case 'disable':
        windowList.disable();
        if (display.connections() !== 0 || workspaceManager.connections() !== 0)
            say('leaked shell connections');
        return true;
    }
    return false;
}

const loop = new GLib.MainLoop(null, false);
const input = new Gio.DataInputStream({
    base_stream: new Gio.UnixInputStream({fd: 0, close_fd: false}),
});
function readCommand() {
    input.read_line_async(GLib.PRIORITY_DEFAULT, null, (stream, result) => {
        const [line] = stream.read_line_finish_utf8(result);
        if (line === null) {
            loop.quit();
            return;
        }
        const c = JSON.parse(line);
        if (c.op === 'quit') {
            say('ok');
            loop.quit();
            return;
        }
        say(command(c) ? 'ok' : 'unknown command');
        readCommand();
    });
}
readCommand();

// Ready once the name is ours.
Gio.DBus.session.watch_name('com.corvella.Qualdern.Shell', Gio.BusNameWatcherFlags.NONE,
    () => say('ready'), null);
loop.run();
