#!/usr/bin/env bash
# The real tolvane.exe driven from outside on the session's Xvfb display:
# keys and clicks from xdotool, the window's title, the settings file it
# writes and its exit code. Runs on a copy of the dist folder, removed after.
#   e2e.sh DIST_DIR PROBE_EXE WINE_RUN
set -uo pipefail
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
dist=$(absolute "$1") probe=$(absolute "$2") wine=$(absolute "$3")
[ -n "${DISPLAY:-}" ] || { echo "needs the test session's display"; exit 1; }

tmp=$(mktemp -d)
trap 'pkill -f "$tmp/app/tolvane.exe" 2>/dev/null; rm -rf "$tmp"' EXIT
cp -r "$dist" "$tmp/app"
rm -f "$tmp/app/tolvane.ini"
mkdir -p "$tmp/work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Every wait polls for the state the next step needs, under one guard: a
# state not reached in $deadline seconds fails the step (a hang, not a
# measure of speed).
deadline=${TOLVANE_E2E_DEADLINE:-90}
waitfor() {   # WHAT COMMAND...: until COMMAND succeeds
  local what=$1 until=$((SECONDS + deadline)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $until ] || { fail "$what: not within $deadline s"; return 1; }
    sleep 0.1
  done
}
probe() { "$wine" "$probe" "$@" </dev/null; }
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ]; }

viewer=""
window=""
# Starts the viewer with a working directory and waits for its window.
start() {
  (cd "$1" && exec "$wine" "$tmp/app/tolvane.exe") </dev/null >>"$tmp/log" 2>&1 &
  viewer=$!
  window=$(timeout "$deadline" xdotool search --sync --onlyvisible --name '^tolvane        ' 2>/dev/null | head -n 1)
  [ -n "$window" ] || { fail "no window"; return 1; }
  # Wine: its windows are unmanaged here (no window manager), so the focus
  # is given by hand, or keys go where the pointer is.
  xdotool windowfocus --sync "$window" 2>/dev/null
  waitfor "focus on the window" focused && waitfor "the frame loop" probe ready
}
# A key held until the viewer has run a frame with it down (its camera
# reads the key's state once a frame, so a bare tap could fall between).
hold() { xdotool keydown "$1"; probe ready; xdotool keyup "$1"; }
click() {
  local at; at=$(probe where "$1" | tr -d '\r') || { fail "no control $1"; return 1; }
  xdotool mousemove $at click 1
}
running() { kill -0 "$viewer" 2>/dev/null; }
# Waits for the viewer to end; fails when it does not.
ended() {
  waitfor "$1: the viewer's end" eval '! running' || { kill "$viewer"; return 1; }
  wait "$viewer" || fail "$1: exit code $?"
}
line() { sed -n "${1}p" "$tmp/app/tolvane.ini" | tr -d '\r'; }
viewerwindow() { xdotool search --onlyvisible --name '^tolvane        ' 2>/dev/null | head -n 1; }
title() { xdotool getwindowname "$(viewerwindow)"; }
titleis() { [ "$(title)" = "$1" ]; }
# The window of the viewer is a new one (another X window than $1).
rebuilt() { local now; now=$(viewerwindow); [ -n "$now" ] && [ "$now" != "$1" ]; }

# Read from the working directory, written beside the program, with CR LF.
printf '10\r\n20\r\n30\r\n40\r\n50\r\n60\r\n\r\n' >"$tmp/work/tolvane.ini"
cp "$tmp/work/tolvane.ini" "$tmp/given.ini"
start "$tmp/work" && hold Escape && ended escape
[ "$(line 1)" = " 10" ] && [ "$(line 6)" = " 60" ] || fail "settings not carried: $(tr '\r\n' '  ' <"$tmp/app/tolvane.ini")"
[ "$(line 7)" = "objects/myfemale70_grp.obj" ] || fail "path line: $(line 7)"
grep -q $'\r$' "$tmp/app/tolvane.ini" || fail "no CR LF"
cmp -s "$tmp/given.ini" "$tmp/work/tolvane.ini" || fail "the working directory's file was changed"

# Keys move the camera; the program's own folder now holds the settings.
start "$tmp/app" && {
  [ "$(title)" = "tolvane        objects/myfemale70_grp.obj" ] || fail "title: $(title)"
  hold Left; hold b; hold a; hold z
  hold Escape; ended keys
}
[ "$(line 4)" -gt 40 ] || fail "o1 did not grow: $(line 4)"
[ "$(line 1)" -gt 10 ] && [ "$(line 2)" -gt 20 ] && [ "$(line 3)" -gt 30 ] || fail "dx dy dz: $(line 1) $(line 2) $(line 3)"

# Reset, then quit by the button.
# (The two clicks reach the viewer's queue in order.)
start "$tmp/app" && { click reset; click quit; ended quit; }
[ "$(line 5)" = "-90" ] && [ "$(line 1)" = " 0" ] || fail "reset: $(line 1) $(line 5)"

# The combo rebuilds the window with the values kept; the close box ends it.
start "$tmp/app" && {
  first=$window
  click combo; xdotool key Up
  waitfor "combo: a rebuilt window" rebuilt "$first"
  window=$(viewerwindow)
  [ "$(title)" = "tolvane        objects/myfemale70_grp.obj" ] || fail "title after rebuild: $(title)"
  waitfor "combo: the rebuilt frame loop" probe ready
  click close
  ended close
}
# The camera reads the keyboard's state, not its messages: the Up that
# moved the combo's choice may also have turned o2 by one.
case $(line 5) in -90 | -89) ;; *) fail "values lost in the rebuild: $(line 5)" ;; esac
[ "$(line 1)" = " 0" ] || fail "values lost in the rebuild: dx $(line 1)"

# F1 shows the help text; "select file" loads a typed path.
cp "$tmp/app/objects/myfemale70_grp.obj" "$tmp/work/other.obj"
start "$tmp/app" && {
  xdotool keydown F1
  waitfor "the help notice" probe shown notice
  xdotool keyup F1
  text=$(probe box notice | tr -d '\r')
  expected='F1 => help\r\rIf guitestkey(vk_left) Then o1+=dxyz\rIf guitestkey(vk_right) Then o1-=dxyz\rIf guitestkey(vk_up) Then o2+=dxyz\rIf guitestkey(vk_down) Then o2-=dxyz\rIf guitestkey(vk_prior) Then o3+=dxyz\rIf guitestkey(vk_next) Then o3-=dxyz\rIf guitestkey(vk_b) Then dx+=dxyz\rIf guitestkey(vk_n) Then dx-=dxyz\rIf guitestkey(vk_a) Then dy+=dxyz\rIf guitestkey(vk_e) Then dy-=dxyz\rIf guitestkey(vk_z) Then dz+=dxyz\rIf guitestkey(vk_s) Then dz-=dxyz'
  [ "$text" = "$expected" ] || fail "help text: $text"
  waitfor "the help notice closed" eval '! probe shown notice'
  waitfor "the frame loop after the notice" probe ready
  first=$window
  click "select file"
  waitfor "the file dialog's name field" probe typing "select object"
  path="Z:${tmp//\//\\}\\work\\other.obj"
  xdotool type --delay 20 "$path"; xdotool key Return
  waitfor "the chosen model's window" titleis "tolvane        $path"
  rebuilt "$first" || fail "choosing did not rebuild the window"
  window=$(viewerwindow)
  xdotool windowfocus --sync "$window" 2>/dev/null
  waitfor "focus on the new window" focused && waitfor "the new frame loop" probe ready
  hold Escape; ended select
}
[ "$(line 7)" = "$path" ] || fail "chosen path not saved: $(line 7)"

[ $failures -eq 0 ] && echo "e2e: all passed" || { echo "e2e: $failures failures"; cat "$tmp/log"; }
exit $failures
