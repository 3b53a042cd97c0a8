# Sourced by the scripts that run Windows programs: the Wine environment of
# one architecture. Call qv_wine_use win64 (the 64-bit test build) or
# qv_wine_use win32 (the shipped 32-bit build) first; it sets
#   QV_WINE        Wine's loader for that architecture, by path
#   QV_WINESERVER  its server, by path
#   WINEPREFIX     a prefix of that architecture under build/ (one each;
#                  QUORVANE_WINEPREFIX overrides it)
# and exports them, so that the test scripts CTest starts use the same.
# /usr/bin/wine is never used: once wine32 is installed it always tries the
# 32-bit loader, which fails for every program where the kernel runs no
# 32-bit programs.
_qv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG=-all                  # no fixme/err noise in the test logs
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko set-up when the prefix is made

qv_wine_use() {
  case "$1" in
    win64)
      QV_WINE=/usr/lib/wine/wine64
      QV_WINESERVER=/usr/lib/wine/wineserver64
      ;;
    win32)
      QV_WINE=/usr/lib/wine/wine
      QV_WINESERVER=/usr/lib/wine/wineserver32
      # A machine with both Wines has only the 64-bit server, which
      # serves 32-bit programs too.
      [ -x "$QV_WINESERVER" ] || QV_WINESERVER=/usr/lib/wine/wineserver64
      ;;
    *)
      echo "qv_wine_use: win32 or win64, not '$1'" >&2
      return 2
      ;;
  esac
  export WINEARCH=$1
  export WINEPREFIX="${QUORVANE_WINEPREFIX:-$_qv_root/build/wineprefix-$1}"
  # Wine starts its own helper processes (services, wineboot) through
  # these, not through PATH.
  export WINELOADER=$QV_WINE WINESERVER=$QV_WINESERVER
  export QV_WINE QV_WINESERVER
}

# The Wine architecture a build folder's programs need, by the toolchain
# file it was configured with.
qv_build_arch() {
  if grep -q '^CMAKE_TOOLCHAIN_FILE:.*mingw-w64-x86_64\.cmake$' "$1/CMakeCache.txt" 2>/dev/null; then
    echo win64
  else
    echo win32
  fi
}

# Whether this machine runs 32-bit x86 programs natively: a 93-byte i386
# ELF that only exits 0 is run. The kernel may have its 32-bit support
# switched off (then: "Exec format error"); neither `uname -m` nor an
# installed wine32 tells. An i386 handler in binfmt_misc (qemu's user-mode
# emulation) would run it too, but far too slowly for Wine: that counts as
# no. QUORVANE_NO_32BIT=1 answers no without asking, to try the path of
# such machines on one that has 32-bit support.
qv_runs_32bit() {
  [ "${QUORVANE_NO_32BIT:-0}" = 1 ] && return 1
  if grep -qs '^magic 7f454c46010101000000000000000000020003' /proc/sys/fs/binfmt_misc/*; then
    return 1
  fi
  local probe status
  probe=$(mktemp "${TMPDIR:-/tmp}/qv-i386-probe.XXXXXX")
  # ELF header (52 bytes), one program header (32) loading the file at
  # 0x08048000, then: mov eax, 1; xor ebx, ebx; int 0x80 (exit 0).
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
  printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
  printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000' >>"$probe"
  printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' >>"$probe"
  printf '\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000' >>"$probe"
  printf '\270\001\000\000\000\061\333\315\200' >>"$probe"
  chmod +x "$probe"
  status=0
  "$probe" </dev/null >/dev/null 2>&1 || status=$?
  rm -f "$probe"
  return $status
}

# Creates the prefix on first use and applies our settings once:
#  - unmanaged windows (without a window manager every closed top-level
#    window would otherwise cost two seconds);
#  - "MS Sans Serif" drawn with DejaVu Sans Condensed, which gives the same
#    dialog base units (6 x 13) as Windows.
qv_wine_prepare() {
  if [ -z "${QV_WINE:-}" ]; then
    echo "qv_wine_prepare: call qv_wine_use first" >&2
    return 2
  fi
  if [ ! -x "$QV_WINE" ]; then
    echo "Wine's $WINEARCH loader $QV_WINE is missing: run scripts/deps.sh windows" >&2
    return 1
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  local made_stamp="$WINEPREFIX/.quorvane-prefix-$WINEARCH"
  if [ -e "$WINEPREFIX" ] && [ ! -f "$made_stamp" ]; then
    echo "The Wine prefix $WINEPREFIX was not made for $WINEARCH: making it anew" >&2
    "$QV_WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the $WINEARCH Wine prefix $WINEPREFIX (about 10 s)" >&2
    "$QV_WINE" wineboot -u </dev/null >/dev/null 2>&1 || true
    "$QV_WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    if ! grep -q "^#arch=$WINEARCH" "$WINEPREFIX/system.reg" 2>/dev/null; then
      echo "Wine did not make a $WINEARCH prefix in $WINEPREFIX" >&2
      return 1
    fi
    touch "$made_stamp"
  fi
  local stamp="$WINEPREFIX/.quorvane-settings-1"
  if [ ! -f "$stamp" ]; then
    "$QV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    "$QV_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "MS Sans Serif" /t REG_SZ /d "DejaVu Sans Condensed" /f </dev/null >/dev/null 2>&1
    "$QV_WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    touch "$stamp"
  fi
}

# A Unix path as the Windows programs see it (Z:\...).
qv_winepath() { "$QV_WINE" winepath -w "$1" 2>/dev/null; }

# One persistent wineserver with Wine's services already running, their
# output on /dev/null: otherwise each test waits ~2.4 s for the services
# that inherited CTest's pipe, and a bare `wineserver -p` makes CTest hang.
# A server left running for this prefix (bound to another display) is
# stopped first.
qv_wine_start_server() {
  "$QV_WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  "$QV_WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  "$QV_WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  "$QV_WINE" wineboot </dev/null >/dev/null 2>&1 || true
}

qv_wine_stop_server() {
  "$QV_WINESERVER" -k </dev/null >/dev/null 2>&1 || true
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
