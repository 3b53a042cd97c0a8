#!/usr/bin/env bash
# The release as a user downloads it, checked without running it: the zip
# unpacked into a fresh folder holds exactly the two programs, the sample
# catalogue and a CR LF README.txt; SHA256SUMS beside it gives the
# checksums of the zip and of both programs as unpacked; each program
# carries a version resource that names Quorvane and the version and no
# maker; and both pass the loader and import checks of imports_test.sh.
#   release_contents_test.sh CMAKE WINDRES ZIP SHA256SUMS SAMPLE_DIR VERSION IMPORTS_TEST OBJDUMP XP_LISTS WIN98_LISTS
set -euo pipefail
cmake=$1
windres=$2
zip=$3
sums=$4
sample=$5
version=$6
imports_test=$7
objdump=$8
lists=$9
lists98=${10}
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$zip" ] || fail "no release zip $zip (make dist)"
[ -f "$sums" ] || fail "no $sums beside the zip (make dist)"

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
grep -q 'Windows protected your PC' README.txt || fail "README.txt does not explain SmartScreen"
grep -q "certutil -hashfile $(basename "$zip") SHA256" README.txt || fail "README.txt does not tell how to check the zip"

# SHA256SUMS: the zip and the two programs, in sha256sum's form with CR LF,
# each checksum right for the file beside it.
zipname=$(basename "$zip")
[ "$(tr -d '\r' <"$sums" | awk '{ print $2 }')" = "$(printf '%s\n' "$zipname" Quorvane.exe quorvane-cli.exe)" ] ||
  fail "SHA256SUMS names: $(tr -d '\r' <"$sums" | awk '{ print $2 }' | tr '\n' ' ')"
[ "$(grep -c $'\r$' "$sums")" -eq 3 ] || fail "SHA256SUMS has lines without CR LF"
cp "$zip" .
cp "$sums" SHA256SUMS
sha256sum --quiet -c SHA256SUMS || fail "a checksum of SHA256SUMS does not fit"

for exe in Quorvane.exe quorvane-cli.exe; do
  rc=$("$windres" -i "$exe" -O rc 2>/dev/null) || fail "$exe: its resources cannot be read"
  for value in "\"ProductName\", \"Quorvane\"" "\"ProductVersion\", \"$version\"" "\"FileVersion\", \"$version\"" \
      "\"OriginalFilename\", \"$exe\"" "\"FileDescription\", \"Quorvane"; do
    grep -qF "VALUE $value" <<<"$rc" || fail "$exe: its version resource lacks $value"
  done
  major=${version%%.*}
  minor=${version#*.}
  grep -qE "^ *FILEVERSION $major, $minor, 0, 0" <<<"$rc" || fail "$exe: FILEVERSION is not $version"
  ! grep -qE '"(CompanyName|LegalCopyright|LegalTrademarks)"' <<<"$rc" || fail "$exe: its version resource names a maker"
done

rm "$zipname" SHA256SUMS
bash "$imports_test" "$objdump" "$lists" "$lists98" Quorvane.exe quorvane-cli.exe
