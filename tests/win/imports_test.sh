#!/usr/bin/env bash
# Holds the shipped programs to what Windows XP can load, and reports what
# Windows 98 and ME lack:
#  - a 32-bit (i386, PE32) image whose header asks for system and
#    subsystem 4.0;
#  - every name imported from a system DLL is in that DLL's list of XP
#    exports, and none of the later names those lists hold by mistake
#    (their README, "Known limits");
#  - every name imported from a DLL with a Windows 98 list is in it and is
#    no stub that only fails there (w-stubs.txt, not-working.txt), unless
#    known-gaps.txt names it with what the programs do about it; a known
#    gap that no program imports any more fails too, so the list stays
#    true. DLLs without a 98 list are named as not checked.
#   imports_test.sh OBJDUMP XP_LISTS_DIR WIN98_LISTS_DIR PROGRAM.exe...
set -euo pipefail
objdump=$1
lists=$2
lists98=$3
shift 3

# Listed although XP lacks them (Server 2003 or Vista and later).
not_on_xp=" FlsAlloc FlsFree FlsGetValue FlsSetValue RegGetValueA RegGetValueW TaskDialog
  TaskDialogIndirect LoadIconMetric LoadIconWithScaleDown GetTickCount64 "

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

header_field() {  # header_field DUMP NAME -> value
  awk -v n="$2" '$1 == n { print $2; exit }' <<<"$1"
}

# "dll|name|..." lines of the known gaps, comments left out.
known_gaps=$(grep -v '^#' "$lists98/known-gaps.txt" | grep -v '^$' || true)
gaps_seen=

# Reports the imports of one DLL that Windows 98 lacks; gives the summary.
check_98() {  # check_98 PROGRAM DLL NAMES
  local name=$1 dll=$2 names=$3 fn why gap
  for fn in $names; do
    why=
    if ! grep -qxF -- "$fn" "$lists98/$dll.txt"; then
      why="which Windows 98 does not export"
    elif grep -qxF -- "$fn" "$lists98/w-stubs.txt" "$lists98/not-working.txt"; then
      why="which Windows 98 exports only as a stub that fails"
    fi
    [ -n "$why" ] || continue
    gap=$(grep -F -- "$dll|$fn|" <<<"$known_gaps" | head -1 || true)
    if [ -n "$gap" ]; then
      echo "known gap on Windows 98/ME: $name imports $fn from $dll.dll, $why: ${gap#*|*|}"
      gaps_seen+=" $dll|$fn "
    else
      fail "$name imports $fn from $dll.dll, $why"
    fi
  done
}

for exe in "$@"; do
  name=$(basename "$exe")
  dump=$("$objdump" -p "$exe")
  grep -q 'file format pei-i386' <<<"$dump" || fail "$name is not an i386 image"
  [ "$(header_field "$dump" Magic)" = 010b ] || fail "$name is not PE32"
  for field in MajorOSystemVersion MajorSubsystemVersion; do
    [ "$(header_field "$dump" "$field")" = 4 ] || fail "$name: $field is $(header_field "$dump" "$field"), not 4"
  done
  for field in MinorOSystemVersion MinorSubsystemVersion; do
    [ "$(header_field "$dump" "$field")" = 0 ] || fail "$name: $field is $(header_field "$dump" "$field"), not 0"
  done

  # "DLL|Name" for every import; ordinal imports have no name.
  imports=$(awk '
    /^\tDLL Name: / { dll = tolower($3); sub(/\.dll$/, "", dll); next }
    dll != "" && /^\tvma:/ { next }
    dll != "" && NF == 0 { dll = ""; next }
    dll != "" { print dll "|" (NF >= 3 ? $3 : "<ordinal " $2 ">") }
  ' <<<"$dump")
  [ -n "$imports" ] || fail "$name: no imports found (objdump output changed?)"
  summary=
  unchecked98=
  for dll in $(cut -d'|' -f1 <<<"$imports" | sort -u); do
    list="$lists/$dll.txt"
    names=$(grep "^$dll|" <<<"$imports" | cut -d'|' -f2)
    count=0
    for fn in $names; do
      count=$((count + 1))
      if [ ! -f "$list" ]; then
        fail "$name imports $fn from $dll.dll, for which there is no XP list"
      elif ! grep -qxF -- "$fn" "$list"; then
        fail "$name imports $fn from $dll.dll, which Windows XP does not export"
      elif [[ "$not_on_xp" == *" $fn "* ]]; then
        fail "$name imports $fn from $dll.dll, which came after Windows XP"
      fi
    done
    if [ -f "$lists98/$dll.txt" ]; then
      check_98 "$name" "$dll" "$names"
    else
      unchecked98+=" $dll $count,"
    fi
    summary+=" $dll $count,"
  done
  echo "$name: $(header_field "$dump" Magic) i386, system $(header_field "$dump" MajorOSystemVersion).$(header_field "$dump" MinorOSystemVersion)," \
    "subsystem $(header_field "$dump" MajorSubsystemVersion).$(header_field "$dump" MinorSubsystemVersion); imports:${summary%,}"
  [ -z "$unchecked98" ] || echo "$name: not checked against Windows 98 (no list of its exports):${unchecked98%,}"
done

while IFS='|' read -r dll fn _; do
  [ -n "$dll" ] || continue
  [[ "$gaps_seen" == *" $dll|$fn "* ]] || fail "known-gaps.txt names $fn of $dll.dll, which no program imports any more"
done <<<"$known_gaps"

[ "$failures" -eq 0 ] || { echo "$failures problem(s)"; exit 1; }
echo ok
