#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, but only
# those that are missing, so a second run costs nothing.
#   scripts/deps.sh native   compilers, CMake, GoogleTest, Google Benchmark
#   scripts/deps.sh windows  also mingw-w64, Wine, Xvfb, xdotool, fonts
set -euo pipefail

want=(cmake make g++ googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev patch)
if [ "${1:-native}" = windows ]; then
  want+=(mingw-w64 wine wine64 xvfb xauth xdotool imagemagick fonts-dejavu-extra)
fi

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
