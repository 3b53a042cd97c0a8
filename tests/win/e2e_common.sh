# Sourced by the scripts that use Quorvane.exe as a person would, inside
# the tests' X display and Wine prefix (scripts/win-test.sh names Wine's
# loader in QV_WINE). The sourcing script sets `shots` (a folder for
# screenshots, or empty) and `failure_shot` (the name its failure gets).

# A Linux path as the Windows programs see it.
winpath() { "$QV_WINE" winepath -w "$1" 2>/dev/null; }

# Points the program's folder fields at FS2002_DIR and SQUAWKBOX_DIR.
remember_folders() {
  printf '[PATH]\r\nFLUSI=%s\r\nSQUAWK=%s\r\n' "$(winpath "$1")" "$(winpath "$2")" \
    >"$WINEPREFIX/drive_c/windows/Quorvane.ini"
}

shot() { [ -n "${shots:-}" ] && import -window root "$shots/$1.png" || true; }
fail() { echo "FAIL: $*"; shot "${failure_shot:-failure}"; exit 1; }

wait_for() {  # wait_for NAME_REGEX SECONDS [ID_TO_SKIP] -> window id
  local w=
  for _ in $(seq 1 $(($2 * 20))); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${3:-none}" | head -1) || true
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.05
  done
  return 1
}
