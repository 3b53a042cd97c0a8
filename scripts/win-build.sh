#!/usr/bin/env bash
# Cross-builds the Windows programs and tests with mingw-w64.
#   scripts/win-build.sh win32|win64 BUILDDIR ARTDIR [TARGET...]
# win32 is the shipped build (i686); win64 the test build of the same
# sources (x86_64), which runs under 64-bit Wine. ARTDIR holds the generated
# pictures of the resources. Without TARGETs everything is built.
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 win32|win64 BUILDDIR ARTDIR [TARGET...]" >&2
  exit 2
fi
case "$1" in
  win32) toolchain=mingw-w64-i686.cmake ;;
  win64) toolchain=mingw-w64-x86_64.cmake ;;
  *) echo "$0: win32 or win64, not '$1'" >&2; exit 2 ;;
esac
mkdir -p "$2"
build=$(cd "$2" && pwd)
art=$(cd "$3" && pwd)
shift 3
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
[ "$jobs" -gt 2 ] && jobs=2
# A tree configured for the other target keeps its compilers whatever the
# toolchain file says.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*/$toolchain$" "$build/CMakeCache.txt"; then
  rm -rf "$build"
  mkdir -p "$build"
fi
extra=()
# The test build's zip stays in its own tree: build/dist holds the release.
[ "$toolchain" = mingw-w64-x86_64.cmake ] && extra+=(-DQUORVANE_DIST_DIR="$build/dist")
cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain" \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" \
  -DQUORVANE_ART_DIR="$art" "${extra[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" -j"$jobs" "${targets[@]}"
