#!/usr/bin/env bash
# The release zip as a user gets it: unpacked into a fresh folder, it holds
# exactly the two programs, the sample catalogue and a CR LF README.txt;
# quorvane-cli.exe finds the catalogue beside itself, and Quorvane.exe run
# from that folder completes an install driven by mouse and keyboard.
#   dist_test.sh CMAKE ZIP SAMPLE_DIR E2E_SCRIPT [SCREENSHOT_DIR]
# Runs inside the tests' X display and Wine prefix (scripts/win-test.sh).
set -euo pipefail
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

expected=$( (printf '%s\n' Quorvane.exe quorvane-cli.exe README.txt; ls "$sample/catalogue") | sort)
[ "$(ls -A | sort)" = "$expected" ] || fail "the zip holds $(ls -A | tr '\n' ' ')"
for f in "$sample"/catalogue/*; do
  cmp -s "$f" "$(basename "$f")" || fail "$(basename "$f") differs from the sample catalogue"
done
lines=$(wc -l <README.txt)
[ "$lines" -gt 20 ] || fail "README.txt has only $lines lines"
[ "$(grep -c $'\r$' README.txt)" -eq "$lines" ] || fail "README.txt has lines without CR LF"
tail -c 2 README.txt | od -An -c | grep -q '\\r  *\\n' || fail "README.txt does not end in CR LF"

# The command line with no --catalogue: the one beside the program.
listed=$(wine ./quorvane-cli.exe list </dev/null 2>&1) || fail "quorvane-cli.exe list failed: $listed"
[ "$(grep -c ' : ' <<<"$listed")" -eq "$(grep -c '^Descr=' "$sample/catalogue/Airlines.dat")" ] ||
  fail "quorvane-cli.exe lists: $listed"
grep -qx 'Nordvik Air : A320' <<<"$listed" || fail "quorvane-cli.exe lists: $listed"

cd /
bash "$e2e" "$work/Quorvane" "$sample" "$shots"
