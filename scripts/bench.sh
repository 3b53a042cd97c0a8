#!/usr/bin/env bash
# Builds and runs the benchmark of the largest Install run.
#   scripts/bench.sh BUILDDIR [quorvane-bench options]
# The data (about 200 MiB) is written under BUILDDIR/data and removed
# afterwards.
set -euo pipefail

build=${1:?usage: scripts/bench.sh BUILDDIR}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-2}
[ "$jobs" -gt 2 ] && jobs=2

cmake -S "$root" -B "$build" -DQUORVANE_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target quorvane-bench quorvane-bench-gen -j"$jobs" >/dev/null
mkdir -p "$build"
build=$(cd "$build" && pwd)
"$build/bench/quorvane-bench" --data "$build/data" "$@" </dev/null
