#!/usr/bin/python3
"""Reads the TARVANE window as a screen reader does, through the AT-SPI bus:
types a position, presses "Convert  >", then a grid point and "<  Convert",
and checks that the names a screen reader hears carry every result and unit,
and that each changed value was announced.

Usage: screen_reader.py EXPECTED
EXPECTED holds, one per line: the forward position's latitude and longitude
text, its northing, easting (US ft), scale factor, meridian and prime-vertical
radius (m); then the inverse grid point's northing and easting and the
latitude and longitude texts it must give."""
import sys
import time

import pyatspi
from gi.repository import GLib

expected = open(sys.argv[1], encoding="utf-8").read().split("\n")
lat, lon, northing, easting, k, M, N, grid_n, grid_e, back_lat, back_lon = expected[:11]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def find_app(seconds=30):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == "tarvane":
                return app
        time.sleep(0.2)
    sys.exit("the program did not appear on the accessibility bus")


def controls(app):
    """Every accessible of the window, by name, and the value labels by what they are."""
    named, values = {}, {}
    stack = [app]
    while stack:
        node = stack.pop()
        for child in node:
            if child is None:
                continue
            stack.append(child)
            named[child.name] = child
            if child.getRoleName() == "label" and child.description:
                values[child.description] = child
    return named, values


heard = []


def listen(seconds):
    """Runs the event loop for a while, collecting name changes."""
    loop = GLib.MainLoop()
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    loop.run()


pyatspi.Registry.registerEventListener(lambda e: heard.append(e.source.description),
                                       "object:property-change:accessible-name")
app = find_app()
named, values = controls(app)
for what in ("Scale factor", "Radius of curvature in the meridian", "Iterations", "Unit of the northing"):
    check(what in values, "no value label says it is '%s'" % what)
if failures:
    sys.exit("; ".join(failures))


def value(what):
    name = values[what].name
    check(name.startswith(what + " "), "'%s' is not named for what it is" % name)
    return name[len(what) + 1:]


def text(name):
    t = named[name].queryText()
    return t.getText(0, t.characterCount)


def near(shown, want, tol, what):
    try:
        ok = abs(float(shown.split()[0]) - float(want)) <= tol
    except ValueError:
        ok = False
    check(ok, "%s: heard %r, expected %s within %g" % (what, shown, want, tol))


def press(name, fields):
    for field, content in fields.items():
        named[field].queryEditableText().setTextContents(content)
    del heard[:]
    named[name].queryAction().doAction(0)
    listen(1.5)


press("Convert latitude and longitude to northing and easting", {"Latitude": lat, "Longitude": lon})
near(text("Northing"), northing, 0.011, "northing")
near(text("Easting"), easting, 0.011, "easting")
near(value("Scale factor"), k, 2e-9, "scale factor")
near(value("Radius of curvature in the meridian"), M, 0.06, "meridian radius")
near(value("Radius of curvature in the prime vertical"), N, 0.06, "prime vertical radius")
check(value("Iterations") == "n/a", "iterations after a forward conversion")
for what in ("Unit of the northing", "Unit of the easting", "Unit of the false northing", "Unit of the false easting"):
    check(value(what) == "USFeet", what)
for what in ("Scale factor", "Radius of curvature in the meridian", "Radius of curvature in the prime vertical"):
    check(what in heard, "no announcement of the new %s" % what)

press("Convert northing and easting to latitude and longitude", {"Northing": grid_n, "Easting": grid_e})
check(text("Latitude") == back_lat, "latitude %r, expected %r" % (text("Latitude"), back_lat))
check(text("Longitude") == back_lon, "longitude %r, expected %r" % (text("Longitude"), back_lon))
check(value("Iterations").isdigit(), "iterations %r" % value("Iterations"))
check("Iterations" in heard, "no announcement of the iteration count")

if failures:
    sys.exit("screen reader: " + "; ".join(failures))
print("screen reader heard: " + "; ".join(v.name for v in values.values()))
