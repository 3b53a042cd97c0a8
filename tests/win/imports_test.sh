#!/usr/bin/env bash
# Holds the shipped programs to what Windows XP can load: a 32-bit (i386,
# PE32) image whose header asks for system and subsystem 4.0, importing by
# name only names that XP's system DLLs export, and none of the later names
# that those lists hold by mistake (their README, "Known limits").
#   imports_test.sh OBJDUMP EXPORT_LISTS_DIR PROGRAM.exe...
set -euo pipefail
objdump=$1
lists=$2
shift 2

# Listed although XP lacks them (Server 2003 or Vista and later).
not_on_xp=" FlsAlloc FlsFree FlsGetValue FlsSetValue RegGetValueA RegGetValueW TaskDialog
  TaskDialogIndirect LoadIconMetric LoadIconWithScaleDown GetTickCount64 "

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

header_field() {  # header_field DUMP NAME -> value
  awk -v n="$2" '$1 == n { print $2; exit }' <<<"$1"
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
  for dll in $(cut -d'|' -f1 <<<"$imports" | sort -u); do
    list="$lists/$dll.txt"
    count=0
    while IFS='|' read -r _ fn; do
      count=$((count + 1))
      if [ ! -f "$list" ]; then
        fail "$name imports $fn from $dll.dll, for which there is no XP list"
      elif ! grep -qxF -- "$fn" "$list"; then
        fail "$name imports $fn from $dll.dll, which Windows XP does not export"
      elif [[ "$not_on_xp" == *" $fn "* ]]; then
        fail "$name imports $fn from $dll.dll, which came after Windows XP"
      fi
    done < <(grep "^$dll|" <<<"$imports")
    summary+=" $dll $count,"
  done
  echo "$name: $(header_field "$dump" Magic) i386, system $(header_field "$dump" MajorOSystemVersion).$(header_field "$dump" MinorOSystemVersion)," \
    "subsystem $(header_field "$dump" MajorSubsystemVersion).$(header_field "$dump" MinorSubsystemVersion); imports:${summary%,}"
done

[ "$failures" -eq 0 ] || { echo "$failures problem(s)"; exit 1; }
echo ok
