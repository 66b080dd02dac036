#!/usr/bin/env bash
# A monkey at the keyboard and mouse: a repeatable random run of user actions
# against the real window (clicks on every control, random text in every
# field, options, zones, commands, menus, the About box), ended by
# File > Exit. The program must neither crash nor hang, and the settings file
# it leaves must read back.
#
# Usage: window_monkey.sh TARVANE_BINARY READ_SETTINGS_BINARY [ACTIONS]
# The random key is printed; TARVANE_MONKEY_KEY=N replays a run.
# Exit status: 0 passed, 1 failed, 77 skipped (no X server or tool to drive it).
set -uo pipefail

scenario=monkey
program=${1:?program}
reader=${2:?settings reader}
actions=${3:-2000}
step_timeout=30

main_title='^  TARVANE  FREEWARE$'
box_title='^TARVANE$'

fail() {
  echo "FAIL [$scenario]: $*" >&2
  echo "  replay with TARVANE_MONKEY_KEY=$key" >&2
  # TARVANE_MONKEY_SHOT=FILE keeps a picture of the screen at the failure.
  [ -n "${TARVANE_MONKEY_SHOT:-}" ] && command -v import >/dev/null && import -window root "$TARVANE_MONKEY_SHOT"
  [ -f "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" | tail -n 40 >&2
  exit 1
}
skip() { echo "SKIPPED [$scenario]: $*" >&2; exit 77; }
note() { echo "[$scenario] $*"; }

key=${TARVANE_MONKEY_KEY:-$(( ($(date +%s) ^ $$) % 32768 ))}
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
note "random key: $key ($actions actions; replay with TARVANE_MONKEY_KEY=$key)"
RANDOM=$key

mkdir "$work/home"
start_program
eval "$(xdotool getwindowgeometry --shell "$window")"
# The form's client area is 419 pixels high below the menu bar.
menu_bar=$((HEIGHT - 419))

# Control centres in twips: left, top, width, height, and the frame's origin.
controls=(
  "txtLat 0 0 960 240 1455 285"             "txtLon 0 0 960 720 1455 285"
  "txtNorthing 0 0 3240 240 1095 285"       "txtEasting 0 0 3240 720 1095 285"
  "cmdConvert0 0 0 1080 1320 1215 495"      "cmdInit 0 0 2160 1320 1215 495"
  "cmdConvert1 0 0 3240 1320 1215 495"
  "optCoordSystem0 360 1920 120 240 1815 255" "optCoordSystem1 360 1920 120 600 1815 255"
  "optCoordSystem2 360 1920 120 960 1815 255" "cmbDatum 360 1920 3360 180 1095 315"
  "cmbZone1983 360 1920 2040 600 2415 315"  "cmbZone1927 360 1920 2040 960 2415 315"
  "cmbUnit 360 1920 5280 180 1215 315"
  "optParallel0 360 3360 360 240 2055 255"  "optParallel1 360 3360 360 600 1935 255"
  "txtParallel0 360 3360 4440 240 1455 285" "txtParallel1 360 3360 4440 600 1455 285"
  "txtParallel2 360 3360 4440 960 1455 285" "txtCentralMeridian 360 3360 4440 1320 1455 285"
  "txtFalseNorthing 360 3360 4440 1680 1455 285" "txtFalseEasting 360 3360 4440 2040 1455 285"
)
fields=(0 1 2 3 16 17 18 19 20 21)  # the text boxes among the controls
# No "x": in an open File menu it would choose Exit.
chars='0123456789 0123456789 .,-+NSEWVnsew:;/QZ'

click_control() {
  local name fx fy l t w h
  read -r name fx fy l t w h <<<"${controls[$1]}"
  xdotool mousemove --window "$window" $(((fx + l + w / 2) / 15)) $((menu_bar + (fy + t + h / 2) / 15)) click --delay 0 1
}

random_text() {
  local n=$((RANDOM % 14)) text='' i
  for ((i = 0; i < n; i++)); do text+=${chars:RANDOM % ${#chars}:1}; done
  printf '%s' "$text"
}

dismiss_all_boxes() {
  local id rounds=0
  while id=$(wait_for_type DIALOG 0); do
    xdotool windowactivate "$id" 2>/dev/null
    xdotool key Return
    rounds=$((rounds + 1))
    [ $rounds -lt 200 ] || fail "message boxes keep coming"
    sleep 0.02
  done
}

alive() { kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid"; fail "the program ended on its own (status $?)"; }; }

for ((step = 1; step <= actions; step++)); do
  r=$((RANDOM % 100))
  if [ $r -lt 35 ]; then
    click_control $((RANDOM % ${#controls[@]}))
  elif [ $r -lt 60 ]; then
    click_control "${fields[RANDOM % ${#fields[@]}]}"
    xdotool key --clearmodifiers ctrl+a
    text=$(random_text)
    [ -n "$text" ] && xdotool type --delay 2 -- "$text"
  elif [ $r -lt 80 ]; then
    keys=(Tab shift+Tab Return space Escape Up Down BackSpace Delete Home End)
    xdotool key "${keys[RANDOM % ${#keys[@]}]}"
  elif [ $r -lt 88 ]; then
    # Anywhere on the form, but not on the menu bar: a menu opened by the
    # mouse and then Down, Return would choose Exit.
    xdotool mousemove --window "$window" $((RANDOM % WIDTH)) $((menu_bar + RANDOM % (HEIGHT - menu_bar))) click --delay 0 1
  elif [ $r -lt 94 ]; then
    # A menu opened and closed again, without choosing Exit.
    xdotool key alt+$( ((RANDOM % 2)) && echo f || echo a) sleep 0.05 key Escape Escape
  elif [ $r -lt 97 ]; then
    # About > About; the box comes up modeless and takes the focus.
    xdotool key alt+a sleep 0.05 key Return
  else
    # The About box's OK, if the box is there.
    about=$(xdotool search --onlyvisible --name '^About \.+$' 2>/dev/null | head -n1)
    [ -n "$about" ] && xdotool mousemove --window "$about" $(((1680 + 607) / 15)) $(((3360 + 247) / 15)) click --delay 0 1
    [ -n "$about" ] || xdotool windowactivate "$window" 2>/dev/null
  fi
  if ((step % 25 == 0)); then
    alive
    dismiss_all_boxes
  fi
  ((step % 500 == 0)) && note "$step actions"
done

# The program works through the events it was sent at its own pace: a
# message box may still come up a while after the last action. Dismiss boxes
# until none has shown for a second.
settle() {
  local quiet=0 rounds=0 id
  while [ $quiet -lt 10 ]; do
    if id=$(wait_for_type DIALOG 0); then
      xdotool windowactivate "$id" 2>/dev/null
      xdotool key Return
      quiet=0
      rounds=$((rounds + 1))
      [ $rounds -lt 200 ] || fail "message boxes keep coming"
    else
      quiet=$((quiet + 1))
    fi
    sleep 0.1
  done
}

# Leave as a user would: close whatever is open, then File > Exit.
alive
xdotool key Escape Escape
settle
# The About box, if open, is closed as its close button would; it would
# otherwise keep the keyboard.
for about in $(xdotool search --onlyvisible --name '^About \.+$' 2>/dev/null); do wmctrl -i -c "$about"; done
opened=''
for attempt in 1 2 3; do
  settle
  xdotool windowactivate --sync "$window" >/dev/null 2>&1
  xdotool key --clearmodifiers alt+f
  if wait_for_type POPUP_MENU 5 >/dev/null; then
    opened=yes
    break
  fi
  xdotool key Escape
done
[ -n "$opened" ] || fail "the File menu did not open at the end"
xdotool key x
wait_for_end "File > Exit after $actions actions"

cd "$work/home" || fail "no working directory"
[ -f TARVANE.ini ] || fail "no TARVANE.ini was written"
values=$("$reader") || { od -c TARVANE.ini | head -n 20 >&2; fail "TARVANE.ini does not read back"; }
note "TARVANE.ini reads back: $(tr '\n' '|' <<<"$values")"
note "passed"
