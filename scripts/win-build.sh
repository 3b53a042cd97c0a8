#!/usr/bin/env bash
# Cross-builds the Windows programs and tests with mingw-w64.
#   scripts/win-build.sh BUILDDIR ARTDIR [TARGET...]
# ARTDIR holds the generated pictures of the resources. Without TARGETs
# everything is built.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 BUILDDIR ARTDIR [TARGET...]" >&2
  exit 2
fi
mkdir -p "$1"
build=$(cd "$1" && pwd)
art=$(cd "$2" && pwd)
shift 2
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
[ "$jobs" -gt 2 ] && jobs=2
# A tree configured for another target (the 64-bit build of earlier
# releases) keeps its compilers whatever the toolchain file says.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*/mingw-w64-i686.cmake$" "$build/CMakeCache.txt"; then
  rm -rf "$build"
  mkdir -p "$build"
fi
cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" \
  -DQUORVANE_ART_DIR="$art" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" -j"$jobs" "${targets[@]}"
