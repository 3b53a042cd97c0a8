#!/usr/bin/env bash
# The release zip as a user downloads it, checked without running it:
# unpacked into a fresh folder it holds exactly the two programs, the
# sample catalogue and a CR LF README.txt, and both programs pass the
# loader and import checks of imports_test.sh.
#   release_contents_test.sh CMAKE ZIP SAMPLE_DIR IMPORTS_TEST OBJDUMP XP_LISTS_DIR WIN98_LISTS_DIR
set -euo pipefail
cmake=$1
zip=$2
sample=$3
imports_test=$4
objdump=$5
lists=$6
lists98=$7
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$zip" ] || fail "no release zip $zip (make dist)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && "$cmake" -E tar xf "$zip") || fail "the zip does not unpack"
cd "$work"

expected=$( (printf '%s\n' Quorvane.exe quorvane-cli.exe README.txt; ls "$sample/catalogue") | sort)
[ "$(ls -A | sort)" = "$expected" ] || fail "the zip holds $(ls -A | tr '\n' ' ')"
for f in "$sample"/catalogue/*; do
  cmp -s "$f" "$(basename "$f")" || fail "$(basename "$f") differs from the sample catalogue"
done
lines=$(wc -l <README.txt)
[ "$lines" -gt 20 ] || fail "README.txt has only $lines lines"
[ "$(grep -c $'\r$' README.txt)" -eq "$lines" ] || fail "README.txt has lines without CR LF"
tail -c 2 README.txt | od -An -c | grep -q '\\r  *\\n' || fail "README.txt does not end in CR LF"

bash "$imports_test" "$objdump" "$lists" "$lists98" Quorvane.exe quorvane-cli.exe
