#!/usr/bin/python3
"""The tracker in window mode driven through the accessibility tree (AT-SPI), as a screen reader would.

  organizer_accessibility.py PROGRAM

Runs on the X server and session bus of scripts/with-display.sh; the session bus starts the accessibility
bus when it is first asked for. The
program gets a stored configuration of three applications that are not running; the test checks that the
organizer lists them in the stored order under their names, opens a row's context menu with a right click,
removes the application through "Remove from List..." and the confirmation's "Remove" button, and reads
the configuration the program saved on its way out.
"""

import os
import plistlib
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

TIMEOUT = 30.0


def wait_for(what, condition, timeout=TIMEOUT):
    """The condition's first true value, polled until the time-out; accessibility events come meanwhile."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def descendants(node, depth=0, limit=12):
    if node is None or depth > limit:
        return
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is None:
            continue
        yield child
        yield from descendants(child, depth + 1, limit)


def program_node(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def find(root, role, name=None):
    for node in descendants(root):
        try:
            if node.getRole() == role and (name is None or node.name == name):
                return node
        except Exception:
            continue
    return None


def find_all(root, role):
    found = []
    for node in descendants(root):
        try:
            if node.getRole() == role:
                found.append(node)
        except Exception:
            continue
    return found


class PopupWatch:
    """Pop-up menus are not children of the program's node: they are announced when they show."""

    def __init__(self):
        self.menus = []
        pyatspi.Registry.registerEventListener(self.on_event, "object:state-changed:showing")

    def on_event(self, event):
        try:
            if event.detail1 and event.source.getRole() == pyatspi.ROLE_POPUP_MENU:
                self.menus.append(event.source)
        except Exception:
            pass

    def shown(self):
        GLib.MainContext.default().iteration(False)
        return self.menus[-1] if self.menus else None


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


def click(node, button):
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", str(extents.x + extents.width // 2), str(extents.y + extents.height // 2))
    xdotool("click", button)


def application(name, front, total):
    return {
        "Name": name,
        "Path": "/nonexistent/" + name.lower() + ".desktop",
        "Application ID": "org.example." + name,
        "Front Time": float(front),
        "Time": float(total),
    }


def main():
    program = sys.argv[1]
    home = tempfile.mkdtemp(prefix="qualdern-a11y-")
    data = os.path.join(home, "data")
    config = os.path.join(home, "config")
    configurations = os.path.join(data, "Qualdern", "Configurations")
    os.makedirs(configurations)
    saved = os.path.join(configurations, "Default.plist")
    applications = {
        "org.example.Alpha": application("Alpha", 30, 300),
        "org.example.Beta": application("Beta", 200, 400),
        "org.example.Gamma": application("Gamma", 100, 100),
    }
    with open(saved, "wb") as f:
        plistlib.dump({"Version": 1295, "Applications": applications, "Pools": [],
                       "First Timestamp": 1.7e9, "Last Timestamp": 1.7e9 + 500}, f, fmt=plistlib.FMT_BINARY)

    environment = dict(os.environ, XDG_DATA_HOME=data, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb",
                       QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    tracker = None
    try:
        wait_for("the accessibility bus", lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], capture_output=True).returncode == 0)
        tracker = subprocess.Popen([program], env=environment)
        app = wait_for("the program in the accessibility tree", lambda: program_node(tracker.pid))

        # The application outline, with its rows under their names, in the stored order (by foreground
        # time, the registered sort column).
        def apps_outline():
            for tree in find_all(app, pyatspi.ROLE_TREE) + find_all(app, pyatspi.ROLE_TREE_TABLE):
                if tree.name == "Apps":
                    return tree
            return None
        outline = wait_for("the application outline", apps_outline)

        def names():
            listed = []
            table = outline.queryTable()
            for row in range(table.nRows):
                cell = table.getAccessibleAt(row, 0)
                if cell is not None:
                    listed.append(cell.name)
            return listed
        wait_for("the stored applications", lambda: names() == ["Apps", "Beta", "Gamma", "Alpha"])

        # A right click on Gamma's row opens its context menu.
        popups = PopupWatch()
        click(outline.queryTable().getAccessibleAt(2, 0), "3")
        menu = wait_for("the context menu", popups.shown)
        entries = [item.name for item in find_all(menu, pyatspi.ROLE_MENU_ITEM)]
        assert entries == ["Set Window Title Filter...", "Reset Timer...", "Remove from List...",
                           "Remove from List and Add to Blacklist..."], entries
        # Chosen with the pointer: the confirmation it opens would hold back an answer to doAction.
        click(find(menu, pyatspi.ROLE_MENU_ITEM, "Remove from List..."), "1")

        # The confirmation, titled with the record's name, answered through its button.
        def confirmation():
            for role in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG):
                node = find(app, role, "Remove: Gamma")
                if node:
                    return node
            return None
        alert = wait_for("the confirmation", confirmation)
        assert find(alert, pyatspi.ROLE_PUSH_BUTTON, "Cancel"), "the confirmation has no Cancel button"
        find(alert, pyatspi.ROLE_PUSH_BUTTON, "Remove").queryAction().doAction(0)
        wait_for("the row to go", lambda: names() == ["Apps", "Beta", "Alpha"])

        tracker.send_signal(signal.SIGTERM)
        assert tracker.wait(timeout=TIMEOUT) == 0, "the program did not end cleanly"
        tracker = None
        with open(saved, "rb") as f:
            stored = plistlib.load(f)
        remaining = sorted(stored["Applications"].keys())
        assert remaining == ["org.example.Alpha", "org.example.Beta"], remaining
        # Not running, so not blacklisted.
        assert "Gamma" not in stored.get("Application Blacklist", []), stored.get("Application Blacklist")
        print("1 passed, 0 failed")
    finally:
        if tracker is not None:
            tracker.kill()
            tracker.wait()


if __name__ == "__main__":
    main()
