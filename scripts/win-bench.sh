#!/usr/bin/env bash
# Times UpdateShape of the shaped dialog on the 550 x 400 background under
# Wine, in a private X display. Build first (scripts/win-build.sh BUILDDIR
# ARTDIR ui-shape-bench).
#   scripts/win-bench.sh BUILDDIR [RUNS]
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILDDIR [RUNS]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
runs=${2:-500}
self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
cd "$(dirname "$self")/.."
source scripts/wine-env.sh

if [ "${QV_INSIDE_X:-}" = 1 ]; then
  qv_wine_start_server
  rc=0
  (cd "$build/ui" && wine ./ui-shape-bench.exe "$runs") || rc=$?
  qv_wine_stop_server
  exit $rc
fi

qv_wine_prepare
exec env QV_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24" "$self" "$build" "$runs" </dev/null
