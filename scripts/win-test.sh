#!/usr/bin/env bash
# Runs the Windows tests of BUILDDIR with CTest under Wine of the build's
# architecture (64-bit Wine for the 64-bit test build, 32-bit Wine for the
# shipped 32-bit build), inside a private Xvfb display. Works without
# DISPLAY and without standard input (CI).
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
qv_wine_use "$(qv_build_arch "$build")"

if [ "${QV_INSIDE_X:-}" = 1 ]; then
  rc=0
  qv_wine_session "$build" ctest --output-on-failure --timeout 120 "$@" || rc=$?
  exit $rc
fi
qv_rerun_in_xvfb "$self" "$build" "$@"
