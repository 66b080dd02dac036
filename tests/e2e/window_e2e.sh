#!/usr/bin/env bash
# Drives the real TARVANE window as a user would, on its own X display, with
# keystrokes from outside the program, and reads the TARVANE.ini it leaves.
#
# Usage: window_e2e.sh SCENARIO TARVANE_BINARY GRID_POINT_BINARY
#   state_plane   stored 1927 zone 4204, "<  Convert" from a typed grid point
#   faulty_angle  a latitude with three faults: three message boxes, then the rewrite
#   wm_close      the window manager's close request writes the file too
#   screen_reader both conversions as a screen reader hears them (inside dbus-run-session)
# Exit status: 0 passed, 1 failed, 77 skipped (no X server or tool to drive it).
set -uo pipefail

scenario=${1:?scenario} program=${2:?program} grid_point=${3:?grid point helper}
step_timeout=60  # seconds for any one wait: the sanitized build on a busy machine starts slowly
main_title='^  TARVANE  FREEWARE$' box_title='^TARVANE$'  # the window, and every message box
fail() { echo "FAIL [$scenario]: $*" >&2; exit 1; }
skip() { echo "SKIPPED [$scenario]: $*" >&2; exit 77; }
note() { echo "[$scenario] $*"; }
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

# Settings lines in the program's code page: "°" as the byte 0xB0, CR LF.
settings_bytes() { local line; for line in "$@"; do printf '%s\r\n' "${line//°/$'\xb0'}"; done; }
expect_file() {
  settings_bytes "$@" >"$work/expected.ini"
  cmp -s "$work/expected.ini" "$work/home/TARVANE.ini" ||
    { od -c "$work/expected.ini" >&2; od -c "$work/home/TARVANE.ini" >&2; fail "TARVANE.ini is not as expected"; }
}
q="'"  # the minute mark
# What a first run leaves, and zone 4204 of 1927 as the window stores it.
defaults=(' 0 ' '-1 ' ' 0 ' ' 0 ' "30°00${q}00.000\"N" "080°00${q}00.000\"W" ' 2 ' "25°00${q}00.000\"N"
          "20°00${q}00.000\"N" "40°00${q}00.000\"N" "075°00${q}00.000\"W" '1000000.0 m' '500000.0 m')
zone4204=(' 2 ' ' 5 ' ' 2 ' ' 1 ' "30°00${q}00.000\"N" "099°00${q}00.000\"W" ' 2 ' "27°50${q}00.000\"N"
          "28°23${q}00.000\"N" "30°17${q}00.000\"N" "099°00${q}00.000\"W" '0' '2000000')
mkdir "$work/home"

case "$scenario" in
  state_plane)
    settings_bytes "${zone4204[@]}" >"$work/home/TARVANE.ini"
    # GeographicLib's image of a position, which the window must give back.
    read -r northing easting _ < <("$grid_point" 29 30 15.5 N 98 15 30.25 W) || fail "the grid point helper failed"
    start_program
    # Focus order: latitude, longitude, northing, easting, "Convert  >", "<  Convert".
    xdotool key Tab Tab && xdotool type --delay 25 "$northing"
    xdotool key Tab && xdotool type --delay 25 "$easting"
    xdotool key Tab Tab space
    file_exit
    zone4204[4]="29°30${q}15.500\"N" zone4204[5]="098°15${q}30.250\"W"
    expect_file "${zone4204[@]}"
    ;;
  faulty_angle)
    # 75 seconds: one more minute; 76 minutes: one more degree; X: no hemisphere.
    start_program
    type_over '41 75 75 X'
    xdotool key Tab
    dismiss_boxes 3
    file_exit
    defaults[4]="42°00${q}00.000\"N"
    expect_file "${defaults[@]}"
    ;;
  wm_close)
    start_program
    type_over '29 30 15.5 N'
    xdotool key Tab
    wmctrl -i -c "$window" || fail "wmctrl could not ask the window to close"  # as the close button does
    wait_for_end "close request"
    defaults[4]="29°30${q}15.500\"N"
    expect_file "${defaults[@]}"
    ;;
  screen_reader)
    start_accessibility
    settings_bytes "${zone4204[@]}" >"$work/home/TARVANE.ini"
    forward=$("$grid_point" 29 30 15.5 N 98 15 30.25 W) && inverse=$("$grid_point" 28 10 5.25 N 97 40 12.5 W) ||
      fail "the grid point helper failed"
    printf '%s\n' '29 30 15.5 N' '98 15 30.25 W' $forward $(cut -d' ' -f1,2 <<<"$inverse") \
      "28°10${q}05.250\"N" "097°40${q}12.500\"W" >"$work/expected"
    start_program
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/screen_reader.py" "$work/expected" || fail "see above"
    file_exit
    ;;
  *) fail "unknown scenario" ;;
esac
note "passed"
