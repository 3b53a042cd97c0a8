#!/usr/bin/env bash
# Runs the Windows tests of BUILDDIR with CTest under Wine, inside a private
# Xvfb display. Works without DISPLAY and without standard input (CI).
#   scripts/win-test.sh BUILDDIR [CTEST ARGS...]
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILDDIR [CTEST ARGS...]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
shift
self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
cd "$(dirname "$self")/.."
source scripts/wine-env.sh

if [ "${QV_INSIDE_X:-}" = 1 ]; then
  qv_wine_start_server
  rc=0
  (cd "$build" && ctest --output-on-failure --timeout 120 "$@") || rc=$?
  qv_wine_stop_server
  exit $rc
fi

qv_wine_prepare
exec env QV_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24" "$self" "$build" "$@" </dev/null
