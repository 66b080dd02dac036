# Shared by the end-to-end scripts: the display and scratch directory $work of
# scripts/x-session, and helpers that wait for the program's windows. Source it
# after setting scenario, program, step_timeout, main_title and box_title, and
# defining fail, skip and note.
for tool in xdotool xprop; do
  command -v "$tool" >/dev/null 2>&1 || skip "'$tool' is not installed (./scripts/setup installs it)"
done
[ -x "$program" ] || fail "no program at $program"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/x-session"

# Visible windows of the program of one kind: DIALOG, a message box (a dialog
# with the caption "TARVANE"); POPUP_MENU, an open menu: any window of the
# program but the main window and the dialogs (Qt marks a menu as a popup only
# the first time it opens it).
windows_of_type() {
  local id
  if [ "$1" = DIALOG ]; then
    for id in $(xdotool search --onlyvisible --name "$box_title" 2>/dev/null); do
      xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_DIALOG" && echo "$id"
    done
  else
    for id in $(xdotool search --onlyvisible --class "^TARVANE\$" 2>/dev/null); do
      [[ "$(xdotool getwindowname "$id" 2>/dev/null)" =~ $main_title ]] && continue
      xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_DIALOG" || echo "$id"
    done
  fi
}

# Waits up to $2 seconds for a window of type $1 and prints its id.
wait_for_type() {
  local deadline=$((${EPOCHREALTIME/[.,]/} / 1000 + $2 * 1000)) id
  while [ $((${EPOCHREALTIME/[.,]/} / 1000)) -lt $deadline ]; do
    id=$(windows_of_type "$1" | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# The accessibility bus (inside dbus-run-session), for the tests that read the
# window as a screen reader does; the program started next reports to it.
start_accessibility() {
  command -v dbus-send >/dev/null && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    skip "no accessibility bus tools (./scripts/setup installs them)"
  [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || fail "no session bus: run inside dbus-run-session"
  # The accessibility bus puts its socket under XDG_RUNTIME_DIR (else in the
  # home folder, where another run's bus may take it away).
  dbus-update-activation-environment XDG_RUNTIME_DIR DISPLAY || fail "cannot pass the environment to the bus"
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
    fail "the accessibility bus did not start"
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

start_program() {
  cd "$work/home" || fail "no working directory"
  "$program" >"$work/program.log" 2>&1 &
  app_pid=$!
  window=$(timeout "$step_timeout" xdotool search --sync --onlyvisible --name "$main_title" | head -n1)
  [ -n "$window" ] || { cat "$work/program.log" >&2; fail "the main window did not appear"; }
  sleep 0.5  # a new window needs a moment before it takes input
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || fail "could not activate the main window"
}

# Replaces the text of the focused field, as a user would: select all, type.
type_over() { xdotool key --clearmodifiers ctrl+a && xdotool type --delay 25 "$1"; }

# Dismisses exactly $1 message boxes with Enter; one more is a failure.
dismiss_boxes() {
  local count=0 id deadline
  while [ "$count" -lt "$1" ]; do
    id=$(wait_for_type DIALOG "$step_timeout") || fail "$count message boxes appeared, $1 were expected"
    count=$((count + 1))
    xdotool key Return
    deadline=$((SECONDS + step_timeout))
    while xdotool search --onlyvisible --name "$box_title" 2>/dev/null | grep -qx "$id"; do
      [ $SECONDS -lt $deadline ] || fail "message box $count did not close on Enter"
      sleep 0.05
    done
  done
  ! wait_for_type DIALOG 1 >/dev/null || fail "a message box more than the $1 expected appeared"
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
