#!/usr/bin/python3
"""Where the running TARVANE window's controls are, as its accessibility tree
says, so that a test clicks what the window shows rather than copied places.
One line per control that is showing, "KIND X Y", the centre in screen
co-ordinates: field (a text box), control (a button, an option or a list) and
ok (the About box's button); and "form X Y WIDTH HEIGHT", the main window
below its menu bar."""
import pyatspi

KINDS = {"text": "field", "push button": "control", "radio button": "control", "combo box": "control"}


def showing(node):
    return node is not None and node.getState().contains(pyatspi.STATE_SHOWING)


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def controls(node, about):
    for child in node:
        if not showing(child):
            continue
        kind = "ok" if about and child.getRoleName() == "push button" else KINDS.get(child.getRoleName())
        if kind and not (about and kind != "ok"):
            box = extents(child)
            print(kind, box.x + box.width // 2, box.y + box.height // 2)
        elif child.getRoleName() == "menu bar":
            box, top = extents(child), extents(node)
            print("form", top.x, box.y + box.height, top.width, top.y + top.height - box.y - box.height)
        if child.getRoleName() not in ("combo box", "menu bar"):  # their lists and menus are not the form
            controls(child, about)


for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name.lower() == "tarvane":
        for window in filter(showing, app):
            if window.name.startswith("About ") or "TARVANE  FREEWARE" in window.name:
                controls(window, window.name.startswith("About "))
        break
else:
    raise SystemExit("the program is not on the accessibility bus")
