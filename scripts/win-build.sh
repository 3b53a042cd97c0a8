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
cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" \
  -DQUORVANE_ART_DIR="$art" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
