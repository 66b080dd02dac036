#!/usr/bin/env bash
# Drives the real TARVANE window as a user would: on its own X display, with
# keystrokes from outside the program, in a fresh working directory, and reads
# the result back from the TARVANE.ini that the program leaves behind.
#
# Usage: window_e2e.sh SCENARIO TARVANE_BINARY GRID_POINT_BINARY
#   first_run     no settings file, File > Exit at once
#   state_plane   stored 1927 zone 4204 set-up, "<  Convert" from a typed grid point
#   faulty_angle  a latitude with three faults: three message boxes, then the rewrite
#   wm_close      the window manager's close request writes the file too
#   screen_reader the results of both conversions as a screen reader hears them
#                 (run it inside dbus-run-session)
#
# Exit status: 0 passed, 1 failed, 77 skipped (no X server or tool to drive it).
set -uo pipefail

scenario=${1:?scenario}
program=${2:?program}
grid_point=${3:?grid point helper}
step_timeout=60   # seconds for any one wait: the sanitized build on a busy machine starts slowly

# The window title and the caption of every message box.
main_title='^  TARVANE  FREEWARE$'
box_title='^TARVANE$'

fail() { echo "FAIL [$scenario]: $*" >&2; exit 1; }
skip() { echo "SKIPPED [$scenario]: $*" >&2; exit 77; }
note() { echo "[$scenario] $*"; }

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

# The thirteen lines of a settings file in the program's code page: the
# arguments are UTF-8, the degree sign becomes the one byte 0xB0, every line
# ends in CR LF.
settings_bytes() {
  local line
  for line in "$@"; do printf '%s\r\n' "${line//°/$'\xb0'}"; done
}

expect_file() {
  local expected="$work/expected.ini"
  settings_bytes "$@" >"$expected"
  [ -f "$work/home/TARVANE.ini" ] || fail "no TARVANE.ini was written"
  if ! cmp -s "$expected" "$work/home/TARVANE.ini"; then
    echo "expected:" >&2; od -c "$expected" >&2
    echo "written:" >&2; od -c "$work/home/TARVANE.ini" >&2
    fail "TARVANE.ini differs from the expected bytes"
  fi
}

# The file a first run leaves: the defaults, a point as the decimal separator.
defaults=(' 0 ' '-1 ' ' 0 ' ' 0 ' '30°00'"'"'00.000"N' '080°00'"'"'00.000"W' ' 2 '
          '25°00'"'"'00.000"N' '20°00'"'"'00.000"N' '40°00'"'"'00.000"N'
          '075°00'"'"'00.000"W' '1000000.0 m' '500000.0 m')

mkdir "$work/home"

# --- Scenarios -----------------------------------------------------------------

case "$scenario" in
  first_run)
    start_program
    file_exit
    expect_file "${defaults[@]}"
    ;;

  state_plane)
    # "US State Plane 1927", zone "4204 Texas South Central", US survey feet,
    # with the zone's parameters as the window itself stores them.
    stored=(' 2 ' ' 5 ' ' 2 ' ' 1 ' '30°00'"'"'00.000"N' '099°00'"'"'00.000"W' ' 2 '
            '27°50'"'"'00.000"N' '28°23'"'"'00.000"N' '30°17'"'"'00.000"N'
            '099°00'"'"'00.000"W' '0' '2000000')
    settings_bytes "${stored[@]}" >"$work/home/TARVANE.ini"
    # The grid point is GeographicLib's image of this position, so the window
    # must give the position back.
    point=$("$grid_point" 29 30 15.5 N 98 15 30.25 W) || fail "the grid point helper failed"
    read -r northing easting _ <<<"$point"
    note "grid point: northing $northing ft, easting $easting ft"
    start_program
    # Focus order: txtLat, txtLon, txtNorthing, txtEasting, "Convert  >", "<  Convert".
    xdotool key Tab Tab
    xdotool type --delay 25 "$northing"
    xdotool key Tab
    xdotool type --delay 25 "$easting"
    xdotool key Tab Tab space
    file_exit
    stored[4]='29°30'"'"'15.500"N'
    stored[5]='098°15'"'"'30.250"W'
    expect_file "${stored[@]}"
    ;;

  faulty_angle)
    # 75 seconds: one more minute; 76 minutes: one more degree; X: not a
    # hemisphere letter, so north. Three messages, then 42°00'00.000"N.
    start_program
    type_over '41 75 75 X'
    xdotool key Tab
    dismiss_boxes 3
    file_exit
    expected=("${defaults[@]}")
    expected[4]='42°00'"'"'00.000"N'
    expect_file "${expected[@]}"
    ;;

  wm_close)
    start_program
    type_over '29 30 15.5 N'
    xdotool key Tab
    # The close button sends WM_DELETE_WINDOW; so does wmctrl -c.
    wmctrl -i -c "$window" || fail "wmctrl could not ask the window to close"
    wait_for_end "close request"
    expected=("${defaults[@]}")
    expected[4]='29°30'"'"'15.500"N'
    expect_file "${expected[@]}"
    ;;

  screen_reader)
    # The accessibility bus of this session, and Qt talking to it.
    command -v dbus-send >/dev/null && [ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
      skip "no accessibility bus tools (./scripts/setup installs them)"
    [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || fail "no session bus: run inside dbus-run-session"
    # The accessibility bus puts its socket under XDG_RUNTIME_DIR, else under
    # the home folder, where another run's bus may take it away.
    dbus-update-activation-environment XDG_RUNTIME_DIR DISPLAY || fail "cannot pass the environment to the bus"
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
      fail "the accessibility bus did not start"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    settings_bytes ' 2 ' ' 5 ' ' 2 ' ' 1 ' '30°00'"'"'00.000"N' '099°00'"'"'00.000"W' ' 2 ' \
      '27°50'"'"'00.000"N' '28°23'"'"'00.000"N' '30°17'"'"'00.000"N' '099°00'"'"'00.000"W' '0' '2000000' \
      >"$work/home/TARVANE.ini"
    forward=$("$grid_point" 29 30 15.5 N 98 15 30.25 W) || fail "the grid point helper failed"
    inverse=$("$grid_point" 28 10 5.25 N 97 40 12.5 W) || fail "the grid point helper failed"
    read -r grid_n grid_e _ <<<"$inverse"
    printf '%s\n' '29 30 15.5 N' '98 15 30.25 W' $forward "$grid_n" "$grid_e" \
      '28°10'"'"'05.250"N' '097°40'"'"'12.500"W' >"$work/expected"
    start_program
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/screen_reader.py" "$work/expected" || fail "see above"
    file_exit
    ;;

  *) fail "unknown scenario" ;;
esac

note "passed"
