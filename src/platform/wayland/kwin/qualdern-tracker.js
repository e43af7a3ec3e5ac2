// Loaded into KWin by Qualdern: sends the window list to the tracker over D-Bus whenever a window appears,
// goes, is activated, retitled, minimized or moved to another desktop. Works with the scripting API of
// Plasma 5 (clients) and Plasma 6 (windows). The tracker fills in where to send the list.
"use strict";

const trackerService = "@SERVICE@";
const trackerPath = "@PATH@";
const trackerInterface = "@INTERFACE@";

const plasma6 = typeof workspace.windowList === "function";

function allWindows() {
    return plasma6 ? workspace.windowList() : workspace.clientList();
}

function activeWindow() {
    return plasma6 ? workspace.activeWindow : workspace.activeClient;
}

function kindOf(w) {
    if (w.desktopWindow) return "desktop";
    if (w.dock) return "dock";
    if (w.dialog) return "dialog";
    if (w.utility || w.toolbar) return "utility";
    if (w.normalWindow) return "normal";
    return "transient";
}

function onCurrentDesktop(w) {
    if (w.onAllDesktops) return true;
    if (plasma6) {
        const desktops = w.desktops || [];
        if (desktops.length === 0) return true;
        for (let i = 0; i < desktops.length; ++i) {
            if (desktops[i] === workspace.currentDesktop) return true;
        }
        return false;
    }
    return w.desktop === workspace.currentDesktop || w.desktop === -1;
}

// Plasma 5 gives the resource class and name as byte arrays, which reach scripts as ArrayBuffers.
function text(value) {
    if (value === undefined || value === null) return "";
    if (value instanceof ArrayBuffer) {
        const bytes = new Uint8Array(value);
        let s = "";
        for (let i = 0; i < bytes.length; ++i) s += String.fromCharCode(bytes[i]);
        try {
            return decodeURIComponent(escape(s));
        } catch (e) {
            return s;
        }
    }
    return String(value);
}

function idOf(w) {
    return text(w.internalId);
}

function describe(w, activeId) {
    return {
        id: idOf(w),
        title: text(w.caption),
        "class": text(w.resourceClass),
        instance: text(w.resourceName),
        pid: Number(w.pid) || 0,
        active: idOf(w) === activeId,
        minimized: !!w.minimized,
        currentDesktop: onCurrentDesktop(w),
        skipTaskbar: !!w.skipTaskbar,
        above: !!w.keepAbove,
        type: kindOf(w),
    };
}

// Front to back: by the stacking order, the active window first.
function report(removed) {
    const active = activeWindow();
    const activeId = active ? idOf(active) : "";
    const removedId = removed ? idOf(removed) : "";
    const stacking = {};
    const order = workspace.stackingOrder || [];
    for (let i = 0; i < order.length; ++i) {
        if (order[i]) stacking[idOf(order[i])] = i;
    }
    const list = [];
    const windows = allWindows();
    for (let i = 0; i < windows.length; ++i) {
        const w = windows[i];
        if (!w || idOf(w) === removedId) continue;
        list.push(describe(w, activeId));
    }
    list.sort(function (a, b) {
        if (a.active !== b.active) return a.active ? -1 : 1;
        const sa = a.id in stacking ? stacking[a.id] : -1;
        const sb = b.id in stacking ? stacking[b.id] : -1;
        return sb - sa;
    });
    callDBus(trackerService, trackerPath, trackerInterface, "Update", JSON.stringify({windows: list}));
}

function connectIfThere(object, signalName, handler) {
    const signal = object[signalName];
    if (signal && typeof signal.connect === "function") signal.connect(handler);
}

function watch(w) {
    if (!w) return;
    const changed = function () { report(null); };
    ["captionChanged", "minimizedChanged", "clientMinimized", "clientUnminimized", "desktopChanged",
     "desktopsChanged", "skipTaskbarChanged", "keepAboveChanged"].forEach(function (name) {
        connectIfThere(w, name, changed);
    });
}

const windowsNow = allWindows();
for (let i = 0; i < windowsNow.length; ++i) watch(windowsNow[i]);

const added = function (w) { watch(w); report(null); };
const removed = function (w) { report(w); };
const activated = function () { report(null); };
if (plasma6) {
    connectIfThere(workspace, "windowAdded", added);
    connectIfThere(workspace, "windowRemoved", removed);
    connectIfThere(workspace, "windowActivated", activated);
} else {
    connectIfThere(workspace, "clientAdded", added);
    connectIfThere(workspace, "clientRemoved", removed);
    connectIfThere(workspace, "clientActivated", activated);
}
connectIfThere(workspace, "currentDesktopChanged", activated);

report(null);
