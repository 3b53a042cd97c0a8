# Sourced by win-test.sh and win-bench.sh: the Wine environment of the
# Windows tests. The prefix lives in the build tree under an absolute path
# (Wine refuses relative ones); QUORVANE_WINEPREFIX overrides it.
_qv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${QUORVANE_WINEPREFIX:-$_qv_root/build/wineprefix}"
export WINEDEBUG=-all                  # no fixme/err noise in the test logs
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko set-up when the prefix is made
export WINEARCH=win64
unset _qv_root

# Creates the prefix on first use and applies our settings once:
#  - unmanaged windows (without a window manager every closed top-level
#    window would otherwise cost two seconds);
#  - "MS Sans Serif" drawn with DejaVu Sans Condensed, which gives the same
#    dialog base units (6 x 13) as Windows.
qv_wine_prepare() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (about 15 s)" >&2
    wineboot -u </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  local stamp="$WINEPREFIX/.quorvane-settings-1"
  if [ ! -f "$stamp" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "MS Sans Serif" /t REG_SZ /d "DejaVu Sans Condensed" /f </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1 || true
    touch "$stamp"
  fi
}

# One persistent wineserver with Wine's services already running, their
# output on /dev/null: otherwise each test waits ~2.4 s for the services
# that inherited CTest's pipe, and a bare `wineserver -p` makes CTest hang.
# A server left running for this prefix (bound to another display) is
# stopped first.
qv_wine_start_server() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine wineboot </dev/null >/dev/null 2>&1 || true
}

qv_wine_stop_server() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
}

# Runs a command in a folder with the persistent wineserver up, and gives
# its exit status.
qv_wine_session() {
  local dir=$1
  shift
  qv_wine_start_server
  local rc=0
  (cd "$dir" && "$@") || rc=$?
  qv_wine_stop_server
  return $rc
}

# Runs the calling script again, with its arguments, inside a private Xvfb
# display with QV_INSIDE_X=1; does not return.
qv_rerun_in_xvfb() {
  qv_wine_prepare
  exec env QV_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24" "$@" </dev/null
}
