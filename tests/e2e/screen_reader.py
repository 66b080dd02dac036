#!/usr/bin/python3
"""The TARVANE window as a screen reader reads it, through the AT-SPI bus: a
position through "Convert  >", a grid point through "<  Convert", and every
result and unit in the names a screen reader hears, each change announced.

Usage: screen_reader.py EXPECTED, a file of lines: the position's latitude and
longitude, its northing, easting (US ft), scale factor, meridian and prime
vertical radius (m); a grid point's northing and easting, and the latitude and
longitude texts it must give."""
import sys
import time

import pyatspi
from gi.repository import GLib

lat, lon, northing, easting, k, M, N, grid_n, grid_e, back_lat, back_lon = open(sys.argv[1]).read().split("\n")[:11]
failures, heard = [], []


def check(ok, what):
    if not ok:
        failures.append(what)


def find_app():
    for _ in range(150):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == "tarvane":
                return app
        time.sleep(0.2)
    sys.exit("the program did not appear on the accessibility bus")


# Every accessible by its name, and the labels that show values by what they are.
named, values, stack = {}, {}, [find_app()]
while stack:
    for child in stack.pop():
        if child is not None:
            stack.append(child)
            named[child.name] = child
            if child.getRoleName() == "label" and child.description:
                values[child.description] = child


def value(what):
    if what not in values:
        sys.exit("no value label says it is '%s'" % what)
    name = values[what].name
    check(name.startswith(what + " "), "'%s' is not named for what it is" % name)
    return name[len(what) + 1:]


def text(name):
    t = named[name].queryText()
    return t.getText(0, t.characterCount)


def near(shown, want, tol, what):
    try:
        check(abs(float(shown.split()[0]) - float(want)) <= tol, "%s: heard %r, expected %s" % (what, shown, want))
    except ValueError:
        check(False, "%s: heard %r" % (what, shown))


def press(button, fields):
    for field, content in fields.items():
        named[field].queryEditableText().setTextContents(content)
    del heard[:]
    named[button].queryAction().doAction(0)
    loop = GLib.MainLoop()  # the announcements arrive while it runs
    GLib.timeout_add(1500, loop.quit)
    loop.run()


pyatspi.Registry.registerEventListener(lambda e: heard.append(e.source.description),
                                       "object:property-change:accessible-name")
press("Convert latitude and longitude to northing and easting", {"Latitude": lat, "Longitude": lon})
near(text("Northing"), northing, 0.011, "northing")
near(text("Easting"), easting, 0.011, "easting")
near(value("Scale factor"), k, 2e-9, "scale factor")
near(value("Radius of curvature in the meridian"), M, 0.06, "meridian radius")
near(value("Radius of curvature in the prime vertical"), N, 0.06, "prime vertical radius")
check(value("Iterations") == "n/a", "iterations after a forward conversion")
for what in ("northing", "easting", "false northing", "false easting"):
    check(value("Unit of the " + what) == "USFeet", "unit of the " + what)
for what in ("Scale factor", "Radius of curvature in the meridian", "Radius of curvature in the prime vertical"):
    check(what in heard, "no announcement of the new " + what)

press("Convert northing and easting to latitude and longitude", {"Northing": grid_n, "Easting": grid_e})
check(text("Latitude") == back_lat, "latitude %r, expected %r" % (text("Latitude"), back_lat))
check(text("Longitude") == back_lon, "longitude %r, expected %r" % (text("Longitude"), back_lon))
check(value("Iterations").isdigit() and "Iterations" in heard, "iterations %r, not announced" % value("Iterations"))

if failures:
    sys.exit("screen reader: " + "; ".join(failures))
print("screen reader heard: " + "; ".join(v.name for v in values.values()))
