#!/usr/bin/env bash
# A monkey at the keyboard and mouse: a repeatable random run of user actions
# against the real window (clicks on every control, random text in every
# field, keys, menus opened and closed, the About box), ended by File > Exit.
# The program must neither crash nor hang, and the file it leaves must read back.
#
# Usage: window_monkey.sh TARVANE_BINARY READ_SETTINGS_BINARY [ACTIONS]
# TARVANE_MONKEY_KEY=N replays a run. Exit status 0 passed, 1 failed, 77 skipped.
set -uo pipefail

scenario=monkey program=${1:?program} reader=${2:?settings reader} actions=${3:-2000} step_timeout=30
main_title='^  TARVANE  FREEWARE$' box_title='^TARVANE$'
key=${TARVANE_MONKEY_KEY:-$(( ($(date +%s) ^ $$) % 32768 ))}
fail() {
  echo "FAIL [$scenario]: $* (replay with TARVANE_MONKEY_KEY=$key)" >&2
  [ -f "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" | tail -n 40 >&2
  exit 1
}
skip() { echo "SKIPPED [$scenario]: $*" >&2; exit 77; }
note() { echo "[$scenario] $*"; }

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
note "random key $key, $actions actions"
RANDOM=$key
mkdir "$work/home"
start_program
eval "$(xdotool getwindowgeometry --shell "$window")"
menu_bar=$((HEIGHT - 419))  # the form's client area is 419 pixels high

# Control centres: the frame's origin, then left, top, width, height, in twips.
controls=(
  "0 0 960 240 1455 285" "0 0 960 720 1455 285" "0 0 3240 240 1095 285" "0 0 3240 720 1095 285"
  "360 3360 4440 240 1455 285" "360 3360 4440 600 1455 285" "360 3360 4440 960 1455 285"
  "360 3360 4440 1320 1455 285" "360 3360 4440 1680 1455 285" "360 3360 4440 2040 1455 285"
  "0 0 1080 1320 1215 495" "0 0 2160 1320 1215 495" "0 0 3240 1320 1215 495"
  "360 1920 120 240 1815 255" "360 1920 120 600 1815 255" "360 1920 120 960 1815 255"
  "360 1920 3360 180 1095 315" "360 1920 2040 600 2415 315" "360 1920 2040 960 2415 315"
  "360 1920 5280 180 1215 315" "360 3360 360 240 2055 255" "360 3360 360 600 1935 255"
)
fields=10                                 # the first ten are the text boxes
chars='0123456789 0123456789 .,-+NSEWVnsew:;/QZ'  # no "x": in an open File menu it chooses Exit

click_control() {
  local fx fy l t w h
  read -r fx fy l t w h <<<"${controls[$1]}"
  xdotool mousemove --window "$window" $(((fx + l + w / 2) / 15)) $((menu_bar + (fy + t + h / 2) / 15)) click --delay 0 1
}
dismiss_boxes() {  # until none has come up for a second
  local quiet=0 rounds=0 id
  while [ $quiet -lt 10 ]; do
    if id=$(wait_for_type DIALOG 0); then
      xdotool windowactivate "$id" 2>/dev/null
      xdotool key Return
      quiet=0 rounds=$((rounds + 1))
      [ $rounds -lt 200 ] || fail "message boxes keep coming"
    else
      quiet=$((quiet + 1))
    fi
    sleep 0.1
  done
}
alive() { kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid"; fail "the program ended on its own (status $?)"; }; }

for ((step = 1; step <= actions; step++)); do
  r=$((RANDOM % 100))
  if [ $r -lt 35 ]; then
    click_control $((RANDOM % ${#controls[@]}))
  elif [ $r -lt 60 ]; then
    click_control $((RANDOM % fields))
    xdotool key --clearmodifiers ctrl+a
    text='' n=$((RANDOM % 14))
    for ((i = 0; i < n; i++)); do text+=${chars:RANDOM % ${#chars}:1}; done
    [ -n "$text" ] && xdotool type --delay 2 -- "$text"
  elif [ $r -lt 80 ]; then
    keys=(Tab shift+Tab Return space Escape Up Down BackSpace Delete Home End)
    xdotool key "${keys[RANDOM % ${#keys[@]}]}"
  elif [ $r -lt 88 ]; then
    # Anywhere on the form but the menu bar, where Down, Return could choose Exit.
    xdotool mousemove --window "$window" $((RANDOM % WIDTH)) $((menu_bar + RANDOM % (HEIGHT - menu_bar))) click --delay 0 1
  elif [ $r -lt 94 ]; then
    xdotool key alt+$( ((RANDOM % 2)) && echo f || echo a) sleep 0.05 key Escape Escape
  elif [ $r -lt 97 ]; then
    xdotool key alt+a sleep 0.05 key Return  # About > About: modeless, it takes the focus
  else
    about=$(xdotool search --onlyvisible --name '^About \.+$' 2>/dev/null | head -n1)
    if [ -n "$about" ]; then  # its OK button
      xdotool mousemove --window "$about" $(((1680 + 607) / 15)) $(((3360 + 247) / 15)) click --delay 0 1
    else
      xdotool windowactivate "$window" 2>/dev/null
    fi
  fi
  if ((step % 25 == 0)); then
    alive
    dismiss_boxes
  fi
  ((step % 500 == 0)) && note "$step actions"
done

# Leave as a user would: close whatever is open, then File > Exit.
alive
xdotool key Escape Escape
for about in $(xdotool search --onlyvisible --name '^About \.+$' 2>/dev/null); do wmctrl -i -c "$about"; done
for attempt in 1 2 3 4; do
  [ $attempt -lt 4 ] || fail "the File menu did not open at the end"
  dismiss_boxes
  xdotool windowactivate --sync "$window" >/dev/null 2>&1
  xdotool key --clearmodifiers alt+f
  wait_for_type POPUP_MENU 5 >/dev/null && break
  xdotool key Escape
done
xdotool key x
wait_for_end "File > Exit after $actions actions"
values=$(cd "$work/home" && "$reader") || fail "TARVANE.ini does not read back"
note "TARVANE.ini reads back: $(tr '\n' '|' <<<"$values")"
