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
#
# Exit status: 0 passed, 1 failed, 77 skipped (no X server or tool to drive it).
set -uo pipefail

scenario=${1:?scenario}
program=${2:?program}
grid_point=${3:?grid point helper}
step_timeout=20   # seconds for any one wait; the sanitized build starts slowly

# The window title and the caption of every message box.
main_title='^  TARVANE  FREEWARE$'
box_title='^TARVANE$'

fail() { echo "FAIL [$scenario]: $*" >&2; exit 1; }
skip() { echo "SKIPPED [$scenario]: $*" >&2; exit 77; }
note() { echo "[$scenario] $*"; }

for tool in Xvfb xdotool xprop openbox wmctrl; do
  command -v "$tool" >/dev/null 2>&1 || skip "'$tool' is not installed (./scripts/setup installs it)"
done
[ -x "$program" ] || fail "no program at $program"

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvane-e2e.XXXXXX")
xvfb_pid='' wm_pid='' app_pid=''
cleanup() {
  for pid in "$app_pid" "$wm_pid" "$xvfb_pid"; do
    if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
  done
  rm -rf "$work"
}
trap cleanup EXIT

# --- A display of our own ----------------------------------------------------
# Xvfb picks a free display number itself and writes it to the descriptor.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  grep -q '^[0-9]' "$work/display" 2>/dev/null && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
display=$(head -n1 "$work/display" 2>/dev/null)
if ! [[ "$display" =~ ^[0-9]+$ ]] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
  sed 's/^/  Xvfb: /' "$work/xvfb.log" >&2
  skip "no X server could be started (Xvfb failed)"
fi
export DISPLAY=":$display"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The worked file is written with a point as the decimal separator.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
timeout "$step_timeout" bash -c 'until wmctrl -m >/dev/null 2>&1; do sleep 0.05; done' ||
  fail "the window manager did not come up"

# --- Helpers ---------------------------------------------------------------------

# Visible windows of the program of one _NET_WM_WINDOW_TYPE: DIALOG for a
# message box (which must carry the caption "TARVANE"), POPUP_MENU for an open
# menu (whose caption the search by name does not see).
windows_of_type() {
  local id found
  if [ "$1" = DIALOG ]; then
    found=$(xdotool search --onlyvisible --name "$box_title" 2>/dev/null)
  else
    found=$(xdotool search --onlyvisible --class "^TARVANE\$" 2>/dev/null)
  fi
  for id in $found; do
    xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_$1" && echo "$id"
  done
}

# Milliseconds since the epoch, for deadlines finer than a second.
now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }

# Waits up to $2 seconds for a window of type $1 and prints its id.
wait_for_type() {
  local deadline=$(($(now_ms) + $2 * 1000)) id
  while [ "$(now_ms)" -lt $deadline ]; do
    id=$(windows_of_type "$1" | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# Waits until window $1 is no longer shown.
wait_gone() {
  local deadline=$((SECONDS + step_timeout))
  while [ $SECONDS -lt $deadline ]; do
    xdotool search --onlyvisible --name "$box_title" 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.05
  done
  return 1
}

start_program() {
  cd "$work/home" || fail "no working directory"
  "$program" >"$work/program.log" 2>&1 &
  app_pid=$!
  window=$(timeout "$step_timeout" xdotool search --sync --onlyvisible --name "$main_title" | head -n1)
  [ -n "$window" ] || { cat "$work/program.log" >&2; fail "the main window did not appear"; }
  # A new window needs a moment before it takes input.
  sleep 0.5
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || fail "could not activate the main window"
}

# Replaces the text of the focused field, as a user would: select all, type.
type_over() {
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 25 "$1"
}

# Dismisses exactly $1 message boxes with Enter; a further box is a failure.
dismiss_boxes() {
  local expected=$1 count=0 id
  while [ "$count" -lt "$expected" ]; do
    id=$(wait_for_type DIALOG "$step_timeout") ||
      fail "$count message boxes appeared, $expected were expected"
    count=$((count + 1))
    xdotool key Return
    wait_gone "$id" || fail "message box $count did not close on Enter"
  done
  if id=$(wait_for_type DIALOG 1); then
    fail "a message box more than the $expected expected appeared"
  fi
  note "$count message boxes dismissed"
}

# The program must end by itself, successfully, within the step timeout.
wait_for_end() {
  local deadline=$((SECONDS + step_timeout)) status
  while kill -0 "$app_pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the program did not end ($1)"
    sleep 0.05
  done
  wait "$app_pid"
  status=$?
  app_pid=''
  [ "$status" -eq 0 ] || { cat "$work/program.log" >&2; fail "the program ended with status $status"; }
}

file_exit() {
  xdotool key alt+f
  wait_for_type POPUP_MENU "$step_timeout" >/dev/null || fail "File menu did not open"
  xdotool key x
  wait_for_end "File > Exit"
}

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
    read -r northing easting <<<"$point"
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

  *) fail "unknown scenario" ;;
esac

note "passed"
