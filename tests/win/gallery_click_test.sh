#!/usr/bin/env bash
# Drives the gallery's shaped dialog with real X input: a click on Install
# sends command 6000 once, a click on Exit (10000) ends the dialog.
#   gallery_click_test.sh PATH/TO/ui-gallery.exe
# Runs inside the tests' X display and Wine prefix (scripts/win-test.sh),
# which names Wine's loader for the build's architecture in QV_WINE.
set -euo pipefail
: "${QV_WINE:?the Wine loader; run through scripts/win-test.sh}"
exe=$1
out=$(mktemp)
trap 'rm -f "$out"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT

"$QV_WINE" "$exe" dialog 30 >"$out" 2>/dev/null </dev/null &
pid=$!

win=
for _ in $(seq 1 200); do
  win=$(xdotool search --onlyvisible --name 'Quorvane Gallery - shaped dialog' 2>/dev/null | head -1) || true
  [ -n "$win" ] && break
  sleep 0.05
done
[ -n "$win" ] || { echo "the gallery's dialog did not appear"; exit 1; }

lines() { tr -d '\r' <"$out"; }  # the program writes CR LF line ends
count() { lines | grep -cx "$1" || true; }

# The dialog's message loop runs (on a busy machine that can take a while).
for _ in $(seq 1 200); do
  [ "$(count ready)" -gt 0 ] && break
  sleep 0.05
done
[ "$(count ready)" -gt 0 ] || { echo "the gallery's dialog does not run"; exit 1; }
sleep 0.2

# One quick click (press and release at once) on a client point of the
# dialog, then wait until the gallery prints LINE.
click_and_wait() {  # click_and_wait X Y LINE
  xdotool mousemove --window "$win" "$1" "$2"
  sleep 0.2
  xdotool click 1
  for _ in $(seq 1 200); do
    [ "$(count "$3")" -gt 0 ] && return 0
    sleep 0.05
  done
  echo "no \"$3\" after the click"; cat "$out"
  # Where the pointer is and what lies under it, for the log.
  xdotool getmouselocation || true
  xdotool getwindowgeometry "$win" || true
  [ -n "${QV_CLICK_SHOT:-}" ] && import -window root "$QV_CLICK_SHOT"
  return 1
}

# Install: (370, 305), 106 x 25 in the client area: exactly one command.
click_and_wait 420 317 "command 6000"
sleep 0.5
[ "$(count 'command 6000')" -eq 1 ] || { echo "Install fired more than once"; cat "$out"; exit 1; }

# Exit: (370, 275): command 10000 ends the dialog and the program.
click_and_wait 420 287 "command 10000"
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$pid" 2>/dev/null; then echo "the dialog did not end on Exit"; exit 1; fi
wait "$pid"
pid=
echo "ok"
