#!/usr/bin/env bash
# Uses Quorvane.exe as a person would, with real X input: the window opens
# with every airline selected, Install is clicked and confirmed, the success
# message is dismissed, the files are checked, Exit shows the goodbye splash
# and the process ends about 17 seconds later.
#   quorvane_e2e_test.sh Quorvane.exe|APP_FOLDER SAMPLE_DIR [SCREENSHOT_DIR]
# Given a folder, the program runs from a copy of it (the unpacked release);
# given Quorvane.exe, from a folder with the sample catalogue beside it.
# Runs inside the tests' X display and Wine prefix (scripts/win-test.sh),
# which names Wine's loader for the build's architecture in QV_WINE.
set -euo pipefail
: "${QV_WINE:?the Wine loader; run through scripts/win-test.sh}"
app=$1
sample=$2
shots=${3:-}
[ -n "$shots" ] && mkdir -p "$shots"
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT
failure_shot=failure
source "$(dirname "$0")/e2e_common.sh"

mkdir "$work/app"
if [ -d "$app" ]; then
  cp -r "$app"/. "$work/app/"
else
  cp "$app" "$work/app/Quorvane.exe"
  cp "$sample"/catalogue/* "$work/app/"
fi
cp -r "$sample/fs2002" "$work/FS2002"
cp -r "$sample/squawkbox" "$work/SquawkBox"
remember_folders "$work/FS2002" "$work/SquawkBox"

# The colour of a screen pixel as "r,g,b".
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n '2s/.*srgb(\([0-9,]*\)).*/\1/p'; }

(cd "$work/app" && exec "$QV_WINE" ./Quorvane.exe </dev/null >/dev/null 2>&1) &
pid=$!

main=$(wait_for '^Quorvane V1.1$' 20) || fail "the main window did not appear"
sleep 1.5  # the list is selected half a second after the window opens
shot main-window
eval "$(xdotool getwindowgeometry --shell "$main")"
# Every list entry is drawn in the selection colour: sample the first and
# the last of the six entries (the list starts at 339,57 in the client area).
for row in 0 5; do
  IFS=, read -r r g b <<<"$(pixel $((X + 490)) $((Y + 66 + row * 13)))"
  [ "$b" -gt 200 ] && [ "$r" -lt 120 ] || fail "entry $row is not selected (colour $r,$g,$b)"
done

click() {  # click CLIENT_X CLIENT_Y
  xdotool mousemove --window "$main" "$1" "$2"
  sleep 0.4
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
}
# Install (370,305; 106 x 25). The first press on a new window is
# sometimes lost under Wine, so click until the confirmation shows.
box=
for _ in 1 2 3; do
  click 420 317
  box=$(wait_for '^Quorvane$' 5) && break
done
[ -n "$box" ] || fail "no confirmation after clicking Install"
shot confirmation
xdotool key Return

# The scripted status texts take 6.5 s, then the success message (a new
# box: the confirmation may still be on the screen for a moment).
done_box=$(wait_for '^Quorvane$' 60 "$box") || fail "no message after the installation"
sleep 0.3
shot success
xdotool key Return
sleep 0.5

cfg="$work/FS2002/aircraft/csl/Aircraft.cfg"
grep -q $'^Title=~APL752\r$' "$cfg" || fail "the Aurora Polar section is missing"
grep -qi 'kst146' "$cfg" && fail "the legacy section was not removed"
head -1 "$work/SquawkBox/CSL_ICAO.csv" | grep -q '^Aurora Polar (QUORVANE),B752,APL' || fail "the model list is not sorted"
[ -f "$work/FS2002/aircraft/csl/texture.NVK320/csl.0af" ] || fail "a texture is missing"

# Exit (370,275): the goodbye splash, then the end of the process.
exit_at=
for _ in 1 2 3 4 5; do
  click 420 287
  sleep 1
  if ! xdotool search --onlyvisible --name '^Quorvane V1.1$' >/dev/null 2>&1; then exit_at=$(date +%s); break; fi
done
[ -n "$exit_at" ] || fail "the dialog did not end on Exit"
shot goodbye
centre=$(pixel 512 384)
[ "$centre" != "0,0,0" ] || fail "no splash in the middle of the screen"

for _ in $(seq 1 600); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "the process is still running 30 s after Exit"
ended=$(( $(date +%s) - exit_at ))
[ "$ended" -ge 14 ] && [ "$ended" -le 25 ] || fail "the process ended $ended s after Exit, not about 17"
pid=
echo "ok: the process ended $ended s after Exit"
