# Prints "role: name" for every accessible object of the named application that is showing, one a line,
# as a screen reader would find them (AT-SPI). With "--press ROLE: NAME" it presses the first showing
# object of that role and name instead. Exits 1 when the application (or the object) is not there.
import sys

import pyatspi


def walk(node, depth, found):
    try:
        if depth > 0 and not node.getState().contains(pyatspi.STATE_SHOWING):
            return
        found.append((f"{node.getRoleName()}: {node.name}", node))
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                walk(child, depth + 1, found)
    except Exception:
        return


def showing(application):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and (app.name or "").lower() == application.lower():
            found = []
            walk(app, 0, found)
            return found
    return None


objects = showing(sys.argv[1])
if objects is None:
    sys.exit(1)
if len(sys.argv) > 3 and sys.argv[2] == "--press":
    for text, node in objects:
        if text == sys.argv[3]:
            node.queryAction().doAction(0)
            sys.exit(0)
    sys.exit(1)
print("\n".join(text for text, _ in objects))
