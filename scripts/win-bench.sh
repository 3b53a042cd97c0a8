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
qv_wine_use "$(qv_build_arch "$build")"

if [ "${QV_INSIDE_X:-}" = 1 ]; then
  rc=0
  qv_wine_session "$build/ui" "$QV_WINE" ./ui-shape-bench.exe "$runs" || rc=$?
  exit $rc
fi
qv_rerun_in_xvfb "$self" "$build" "$runs"
