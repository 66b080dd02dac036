#!/usr/bin/python3
"""Where the running TARVANE window's controls are, as its accessibility tree
says. One line per control showing now, "KIND X Y" (its centre on the screen):
field (a text box), control (a button, an option, a list) or ok (the About
box's button); and "form X Y WIDTH HEIGHT", the main window below its menu bar."""
import pyatspi

KINDS = {"text": "field", "push button": "control", "radio button": "control", "combo box": "control"}


def walk(node, about):
    for child in node:
        if child is None or not child.getState().contains(pyatspi.STATE_SHOWING):
            continue
        role, box = child.getRoleName(), child.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        kind = ("ok" if role == "push button" else None) if about else KINDS.get(role)
        if kind:
            print(kind, box.x + box.width // 2, box.y + box.height // 2)
        if role == "menu bar":
            top = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print("form", top.x, box.y + box.height, top.width, top.y + top.height - box.y - box.height)
        elif role != "combo box":  # a list's entries are not the form's
            walk(child, about)


apps = [app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name.lower() == "tarvane"]
if not apps:
    raise SystemExit("the program is not on the accessibility bus")
for window in apps[0]:
    if window is not None and (window.name.startswith("About ") or "TARVANE  FREEWARE" in window.name):
        walk([window], window.name.startswith("About "))
