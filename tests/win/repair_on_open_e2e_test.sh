#!/usr/bin/env bash
# A run ended as Task Manager ends a program while it put the files in
# place, then Quorvane.exe opened as a person would: the window says in one
# message what it did, and afterwards the two files are both as before the
# run or both as the run leaves them, with no record of the run left.
#   repair_on_open_e2e_test.sh Quorvane.exe crash_child.exe SAMPLE_DIR [SCREENSHOT_DIR]
# crash_child.exe runs the install and ends itself at its nth file
# operation; the walk looks for the last operations of a whole run (found
# by halving) and takes the first kill, from the end, that leaves the
# run's record behind. Runs inside the tests' X display and Wine prefix.
set -euo pipefail
: "${QV_WINE:?the Wine loader; run through scripts/win-test.sh}"
app=$1
child=$2
sample=$3
shots=${4:-}
[ -n "$shots" ] && mkdir -p "$shots"
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT

failure_shot=repair-failure
source "$(dirname "$0")/e2e_common.sh"
cfg="$work/FS2002/aircraft/csl/Aircraft.cfg"
models="$work/SquawkBox/CSL_ICAO.csv"
fresh() {
  rm -rf "$work/FS2002" "$work/SquawkBox"
  cp -r "$sample/fs2002" "$work/FS2002"
  cp -r "$sample/squawkbox" "$work/SquawkBox"
}
files() { cat "$cfg" "$models" | md5sum; }
record_left() { [ -f "$work/SquawkBox/Quorvane-unfinished-run.ini" ] || [ -f "$work/FS2002/aircraft/csl/Quorvane-unfinished-run.ini" ]; }
# The install of one airline ended at operation $1
# (0: never); true when it was ended there, false when it ran to its end.
install_killed_at() {
  fresh
  local status=0
  "$QV_WINE" "$child" "$1" install "$(winpath "$work/FS2002")" "$(winpath "$work/SquawkBox")" \
    "$(winpath "$sample/catalogue")" "Skylark Atlantic : B737-800" 1 </dev/null >/dev/null 2>&1 || status=$?
  [ $status -eq 137 ] && return 0
  [ $status -eq 2 ] || fail "the install ended with status $status, not as completed (2)"
  return 1
}

fresh
before=$(files)
install_killed_at 0 && fail "an install that is never ended was ended"
finished=$(files)
[ "$before" != "$finished" ] || fail "the install changed nothing"

# The number of operations of a whole run: the smallest n that ends it.
low=1 high=1024
while [ $((high - low)) -gt 0 ]; do
  mid=$(((low + high) / 2))
  if install_killed_at "$mid"; then low=$((mid + 1)); else high=$mid; fi
done
kill_at=
for ((n = low - 1; n > low - 40 && n > 0; n--)); do
  install_killed_at "$n" || continue
  if record_left; then kill_at=$n; break; fi
done
[ -n "$kill_at" ] || fail "no kill among the last 40 operations left the run's record"
echo "a whole install takes $((low - 1)) operations; killed at $kill_at, it left its record"

mkdir -p "$work/app"
cp "$app" "$work/app/Quorvane.exe"
cp "$sample"/catalogue/* "$work/app/"
remember_folders "$work/FS2002" "$work/SquawkBox"
(cd "$work/app" && exec "$QV_WINE" ./Quorvane.exe </dev/null >/dev/null 2>&1) &
pid=$!

wait_for '^Quorvane V1.1$' 20 >/dev/null || fail "the main window did not appear"
box=$(wait_for '^Quorvane$' 10) || fail "the window said nothing of the stopped run"
sleep 0.3
shot repair-on-open
record_left && fail "the record of the run is still there while the window tells of it"
now=$(files)
[ "$now" = "$before" ] || [ "$now" = "$finished" ] || fail "the files are neither as before nor as finished"
xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
sleep 0.5
kill "$pid" 2>/dev/null || true
pid=
[ "$now" = "$before" ] && echo "ok: taken back" || echo "ok: finished"
