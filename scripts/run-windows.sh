#!/usr/bin/env bash
# `make run` on a machine with a display: starts Quorvane.exe under Wine with
# the sample catalogue beside it and Quorvane.ini preset to fresh copies of
# the sample FS2002 and SquawkBox folders; shows what changed when it ends.
#   scripts/run-windows.sh WIN_BUILD_DIR RUN_DIR
# The build folder's architecture picks the Wine (32-bit or 64-bit).
set -euo pipefail
win=$(cd "$1" && pwd)
run=$2
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
qv_wine_use "$(qv_build_arch "$win")"
qv_wine_prepare

rm -rf "$run"
mkdir -p "$run/Quorvane"
cp "$win/ui/Quorvane.exe" "$run/Quorvane/"
cp "$root"/sample/catalogue/* "$run/Quorvane/"
cp -r "$root/sample/fs2002" "$run/FS2002"
cp -r "$root/sample/squawkbox" "$run/SquawkBox"
printf '[PATH]\r\nFLUSI=%s\r\nSQUAWK=%s\r\n' "$(qv_winepath "$run/FS2002")" "$(qv_winepath "$run/SquawkBox")" \
  >"$WINEPREFIX/drive_c/windows/Quorvane.ini"

echo "Starting Quorvane.exe ($WINEARCH) under Wine (folders: $run/FS2002 and $run/SquawkBox)"
(cd "$run/Quorvane" && "$QV_WINE" ./Quorvane.exe </dev/null >/dev/null 2>&1) || true

echo
echo "What changed (sample on the left, after the run on the right):"
diff -ru --strip-trailing-cr "$root/sample/fs2002" "$run/FS2002" | sed 's/^/  /' || true
diff -ru --strip-trailing-cr "$root/sample/squawkbox" "$run/SquawkBox" | sed 's/^/  /' || true
