# Sourced by win-test.sh and win-bench.sh: the Wine environment of the
# Windows tests. The prefix lives in the build tree under an absolute path
# (Wine refuses relative ones); QUORVANE_WINEPREFIX overrides it.
_qv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${QUORVANE_WINEPREFIX:-$_qv_root/build/wineprefix}"
export WINEDEBUG=-all                  # no fixme/err noise in the test logs
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko set-up when the prefix is made
# A 32-bit prefix: the programs are 32-bit, and so is the Windows most of
# their users run.
export WINEARCH=win32
unset _qv_root

# Written into the prefix once it was made by 32-bit Wine. A prefix made
# before wine32 was installed (or a 64-bit one of earlier releases) lacks
# it: such a prefix cannot load kernel32.dll for a 32-bit program started
# as `wine NAME.exe`, so it is made anew.
_qv_prefix_stamp=.quorvane-prefix-win32

# Creates the prefix on first use and applies our settings once:
#  - unmanaged windows (without a window manager every closed top-level
#    window would otherwise cost two seconds);
#  - "MS Sans Serif" drawn with DejaVu Sans Condensed, which gives the same
#    dialog base units (6 x 13) as Windows.
qv_wine_prepare() {
  if [ ! -x /usr/lib/wine/wine ]; then
    echo "32-bit Wine is missing: run scripts/deps.sh windows (it installs wine32:i386)" >&2
    return 1
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ -e "$WINEPREFIX" ] && [ ! -f "$WINEPREFIX/$_qv_prefix_stamp" ]; then
    echo "The Wine prefix $WINEPREFIX was not made by 32-bit Wine: making it anew" >&2
    wineserver -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (about 10 s)" >&2
    wineboot -u </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    if ! grep -q '^#arch=win32' "$WINEPREFIX/system.reg" 2>/dev/null; then
      echo "Wine did not make a 32-bit prefix in $WINEPREFIX" >&2
      return 1
    fi
    touch "$WINEPREFIX/$_qv_prefix_stamp"
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
# display with QV_INSIDE_X=1, and exits with its status. The server takes
# the first free display number itself (-displayfd), so runs side by side
# on one machine never pick the same one.
qv_rerun_in_xvfb() {
  qv_wine_prepare
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" </dev/null >/dev/null 2>&1 &
  _qv_xvfb=$!
  trap 'kill "$_qv_xvfb" 2>/dev/null || true' EXIT
  for _ in $(seq 1 200); do
    [ -s "$number_file" ] && break
    kill -0 "$_qv_xvfb" 2>/dev/null || break
    sleep 0.05
  done
  local number
  number=$(head -1 "$number_file")
  rm -f "$number_file"
  if [ -z "$number" ]; then
    echo "Xvfb did not start" >&2
    exit 1
  fi
  local rc=0
  QV_INSIDE_X=1 DISPLAY=":$number" "$@" </dev/null || rc=$?
  kill "$_qv_xvfb" 2>/dev/null || true
  wait "$_qv_xvfb" 2>/dev/null || true
  trap - EXIT
  exit $rc
}
