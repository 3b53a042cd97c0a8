#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, but only
# those that are missing, so a second run costs nothing.
#   scripts/deps.sh native   compilers, CMake, GoogleTest, Google Benchmark,
#                            RapidCheck
#   scripts/deps.sh windows  also the mingw-w64 compilers (32-bit for the
#                            release, 64-bit for the test build), 64-bit
#                            Wine, Xvfb, xdotool, fonts; 32-bit Wine only
#                            where this machine runs 32-bit programs
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

want=(cmake make g++ googletest libgtest-dev libbenchmark-dev librapidcheck-dev clang libclang-rt-14-dev patch)
windows=0
i386=0
if [ "${1:-native}" = windows ]; then
  windows=1
  want+=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
         g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
         wine64 xvfb xdotool imagemagick fonts-dejavu-extra)
  # wine32 only where its loader can run: elsewhere it is useless, and once
  # installed it makes /usr/bin/wine try that loader for every program.
  if qv_runs_32bit; then
    i386=1
    want+=(wine32:i386)
  fi
fi

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

# wine32 is a package of the i386 architecture, which a fresh Debian does
# not know; without it apt cannot even find the package.
if [ "$i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture for wine32" >&2
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
start=$(date +%s)
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "[time] installing packages: $(( $(date +%s) - start )) s"
