# Shared by the end-to-end scripts: the display and the scratch directory
# $work of scripts/x-session, and helpers that wait for the program's windows. Source it after setting scenario, program and
# step_timeout, and after defining fail, skip and note.

for tool in xdotool xprop; do
  command -v "$tool" >/dev/null 2>&1 || skip "'$tool' is not installed (./scripts/setup installs it)"
done
[ -x "$program" ] || fail "no program at $program"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/x-session"

# --- Helpers ---------------------------------------------------------------------

# Visible windows of the program of one kind: DIALOG for a message box (of
# window type DIALOG, with the caption "TARVANE"), POPUP_MENU for an open menu.
# Qt marks a menu as a popup menu when it first opens it, but a menu opened
# again may come up as a plain window; so a menu is any window of the program
# that is neither the main window nor a dialog.
windows_of_type() {
  local id
  if [ "$1" = DIALOG ]; then
    for id in $(xdotool search --onlyvisible --name "$box_title" 2>/dev/null); do
      xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_DIALOG" && echo "$id"
    done
  else
    for id in $(xdotool search --onlyvisible --class "^TARVANE\$" 2>/dev/null); do
      [[ "$(xdotool getwindowname "$id" 2>/dev/null)" =~ $main_title ]] && continue
      xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_DIALOG" && continue
      echo "$id"
    done
  fi
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

