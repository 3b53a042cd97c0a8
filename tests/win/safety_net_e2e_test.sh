#!/usr/bin/env bash
# The safety net of Quorvane.exe used as a person would, with real X input:
# the menu opens by a right-click, by Shift+F10, by the menu key and at the
# end of the system menu (Alt+Space); greyed commands stay greyed; the
# preview and the check open in a window that Escape closes, after which
# the keys reach the main window again; undo, the files from before
# Quorvane and remove each ask first and leave exactly the files that
# quorvane-cli leaves on a copy of the same folders; the backup folder
# opens.
#   safety_net_e2e_test.sh Quorvane.exe quorvane-cli.exe SAMPLE_DIR [SCREENSHOT_DIR]
# Runs inside the tests' X display and Wine prefix (scripts/win-test.sh),
# which names Wine's loader for the build's architecture in QV_WINE.
set -euo pipefail
: "${QV_WINE:?the Wine loader; run through scripts/win-test.sh}"
exe=$1
cli=$2
sample=$3
shots=${4:-}
[ -n "$shots" ] && mkdir -p "$shots"
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT
failure_shot=safety-failure
source "$(dirname "$0")/e2e_common.sh"

mkdir "$work/app" "$work/twin"
cp "$exe" "$work/app/Quorvane.exe"
cp "$sample"/catalogue/* "$work/app/"
for root in "$work" "$work/twin"; do
  cp -r "$sample/fs2002" "$root/FS2002"
  cp -r "$sample/squawkbox" "$root/SquawkBox"
done
remember_folders "$work/FS2002" "$work/SquawkBox"

gone() {  # gone NAME_REGEX SECONDS: true once no such window shows
  for _ in $(seq 1 $(($2 * 20))); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  return 1
}
# The visible windows without a name: a menu is one of them.
nameless() { xdotool search --onlyvisible --name '^$' 2>/dev/null | sort; }
menu_opens() {  # menu_opens BEFORE: true once a window without a name shows that was not in BEFORE
  for _ in $(seq 1 60); do
    [ -n "$(comm -13 <(echo "$1") <(nameless))" ] && return 0
    sleep 0.05
  done
  return 1
}

(cd "$work/app" && exec "$QV_WINE" ./Quorvane.exe </dev/null >/dev/null 2>&1) &
pid=$!
main=$(wait_for '^Quorvane V1.1$' 20) || fail "the main window did not appear"
sleep 1.5  # the list is selected half a second after the window opens

# A right-click on the sky between the picture and the list: the menu,
# with nothing to undo and no original yet. The first press on a new
# window is sometimes lost under Wine, so click until the menu shows.
right_click_menu() {
  local before opened=
  for _ in 1 2 3; do
    before=$(nameless)
    xdotool mousemove --window "$main" 300 60
    sleep 0.3
    xdotool click 3
    menu_opens "$before" && { opened=1; break; }
  done
  [ -n "$opened" ] || fail "no menu after a right-click on the window"
  sleep 0.3
}
right_click_menu
shot safety-menu-mouse
# Its first item, clicked: the preview of the install in a window.
eval "$(xdotool getmouselocation --shell)"
xdotool mousemove "$((X + 40))" "$((Y + 10))"
sleep 0.3
xdotool click 1
preview=$(wait_for '^Preview of the install - Quorvane$' 20) || fail "no preview after its menu item"
sleep 0.5
shot safety-preview
cmp -s "$work/FS2002/aircraft/csl/Aircraft.cfg" "$work/twin/FS2002/aircraft/csl/Aircraft.cfg" ||
  fail "the preview changed Aircraft.cfg"
xdotool key Escape
gone '^Preview of the install - Quorvane$' 5 || fail "Escape did not close the preview"

# Back in the main window the keys work: Shift+F10 opens the menu, F the check.
before=$(nameless)
xdotool key shift+F10
menu_opens "$before" || fail "Shift+F10 opened no menu (the focus did not come back)"
xdotool key f
wait_for '^Check of your files - Quorvane$' 10 >/dev/null || fail "no check after F in the menu"
xdotool key Escape
gone '^Check of your files - Quorvane$' 5 || fail "Escape did not close the check"

before=$(nameless)
xdotool key Menu
menu_opens "$before" || fail "the menu key opened no menu"
xdotool key Escape
sleep 0.3

# Greyed stays greyed: with nothing kept, Ctrl+Z asks nothing.
xdotool key ctrl+z
sleep 1.5
xdotool search --onlyvisible --name '^Quorvane$' >/dev/null 2>&1 && fail "Ctrl+Z asked to undo with nothing to undo"
[ -e "$work/SquawkBox/CSL_ICAO.csv.bak" ] && fail "a backup appeared"

cli_run() {  # cli_run ARGS...: quorvane-cli on the twin folders
  "$QV_WINE" "$cli" "$@" --fs "$(winpath "$work/twin/FS2002")" --squawkbox "$(winpath "$work/twin/SquawkBox")" \
    --yes </dev/null >"$work/cli.out" 2>&1 || fail "quorvane-cli $*: $(cat "$work/cli.out")"
}
same_files() {  # same_files STEP: both trees hold the same files, but the record's run stamps
  for folder in FS2002 SquawkBox; do
    diff -r -x Quorvane-backups.ini "$work/$folder" "$work/twin/$folder" >"$work/diff" ||
      fail "after $1 the window and quorvane-cli left different files: $(head -5 "$work/diff")"
  done
}
answer() {  # answer STEP: confirm the question, then dismiss the result box
  local box done_box
  box=$(wait_for '^Quorvane$' 20) || fail "$1 asked nothing"
  sleep 0.3
  [ "$1" = undo ] && shot safety-undo-question
  xdotool key Return
  done_box=$(wait_for '^Quorvane$' 60 "$box") || fail "no result after $1"
  sleep 0.3
  xdotool key Return
  gone '^Quorvane$' 10 || fail "the result box of $1 stayed"
}

# Install by its button, as every user does.
for _ in 1 2 3; do
  xdotool mousemove --window "$main" 420 317
  sleep 0.4
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  wait_for '^Quorvane$' 5 >/dev/null && break
done
answer install
cli_run install --catalogue "$(winpath "$work/app")"
same_files install

# The system menu now offers everything; F there is the check. (Escape
# would leave Wine in the menu's keyboard mode, which takes the next key.)
before=$(nameless)
xdotool key alt+space
menu_opens "$before" || fail "Alt+Space opened no system menu"
sleep 0.3
shot safety-system-menu
xdotool key f
wait_for '^Check of your files - Quorvane$' 10 >/dev/null || fail "no check after F in the system menu"
xdotool key Escape
gone '^Check of your files - Quorvane$' 5 || fail "Escape did not close the check"

xdotool key ctrl+z
answer undo
cli_run restore
same_files undo

# Remove: chosen in the menu the mouse opened, by its underlined letter.
right_click_menu
xdotool key a
answer remove
cli_run remove
same_files remove

xdotool key ctrl+shift+z
answer "back to the original"
cli_run restore --original
same_files "back to the original"
cmp -s "$sample/fs2002/aircraft/csl/Aircraft.cfg" "$work/FS2002/aircraft/csl/Aircraft.cfg" ||
  fail "Aircraft.cfg is not back as it was"

# The backup folder: both folders with copies open in Explorer.
xdotool key ctrl+b
wait_for '^csl$' 30 >/dev/null || fail "the folder of Aircraft.cfg's copies did not open"
wait_for '^SquawkBox$' 30 >/dev/null || fail "the folder of CSL_ICAO.csv's copies did not open"
echo "ok: menus by mouse and keys, greyed commands, preview and check windows, undo, original, remove, backup folder"
