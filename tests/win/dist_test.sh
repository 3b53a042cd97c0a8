#!/usr/bin/env bash
# The release zip as a user gets it, run: unpacked into a fresh folder,
# quorvane-cli.exe finds the catalogue beside itself, and Quorvane.exe run
# from that folder completes an install driven by mouse and keyboard. What
# the zip holds is checked without running it (release_contents_test.sh).
#   dist_test.sh CMAKE ZIP SAMPLE_DIR E2E_SCRIPT [SCREENSHOT_DIR]
# Runs inside the tests' X display and Wine prefix (scripts/win-test.sh),
# which names Wine's loader for the build's architecture in QV_WINE.
set -euo pipefail
: "${QV_WINE:?the Wine loader; run through scripts/win-test.sh}"
cmake=$1
zip=$2
sample=$3
e2e=$4
shots=${5:-}
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$zip" ] || fail "no release zip $zip (make dist)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/Quorvane"
(cd "$work/Quorvane" && "$cmake" -E tar xf "$zip") || fail "the zip does not unpack"
cd "$work/Quorvane"

# The command line with no --catalogue: the one beside the program.
listed=$("$QV_WINE" ./quorvane-cli.exe list </dev/null 2>&1) || fail "quorvane-cli.exe list failed: $listed"
[ "$(grep -c ' : ' <<<"$listed")" -eq "$(grep -c '^Descr=' "$sample/catalogue/Airlines.dat")" ] ||
  fail "quorvane-cli.exe lists: $listed"
grep -qx 'Nordvik Air : A320' <<<"$listed" || fail "quorvane-cli.exe lists: $listed"

cd /
bash "$e2e" "$work/Quorvane" "$sample" "$shots"
