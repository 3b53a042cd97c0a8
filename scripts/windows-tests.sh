#!/usr/bin/env bash
# The Windows part of `make test`:
#  1. the static checks of the shipped 32-bit build (loader fields,
#     imports, the release zip's contents), which never run it;
#  2. every Windows suite on the 64-bit test build under 64-bit Wine;
#  3. the same suites on the shipped 32-bit build under 32-bit Wine, where
#     this machine runs 32-bit programs; elsewhere one line says they were
#     skipped.
# Ends with one line per part: what ran, its result and its time.
#   scripts/windows-tests.sh BUILD32 BUILD64
set -uo pipefail
build32=$1
build64=$2
here=$(cd "$(dirname "$0")" && pwd)

summary=()
failed=0
part() {  # part TITLE COMMAND...
  local title=$1 start rc=0
  shift
  echo "== $title"
  start=$(date +%s)
  "$@" || rc=$?
  local took=$(( $(date +%s) - start ))
  if [ $rc -eq 0 ]; then
    summary+=("passed  ${took}s  $title")
  else
    summary+=("FAILED  ${took}s  $title")
    failed=1
  fi
}

part "Windows 32-bit release: static checks (no program run)" \
  bash -c "cd '$build32/release' && ctest --output-on-failure"
part "Windows 64-bit test build: every suite under 64-bit Wine" \
  "$here/win-test.sh" "$build64"
if "$here/runs-32bit.sh"; then
  part "Windows 32-bit release: every suite under 32-bit Wine" \
    "$here/win-test.sh" "$build32" -LE static
else
  echo "== This machine runs no 32-bit programs: the suites on the shipped 32-bit build are skipped (its static checks ran)."
  summary+=("skipped     Windows 32-bit release under 32-bit Wine: this machine runs no 32-bit programs")
fi

echo
echo "Windows builds tested:"
printf '  %s\n' "${summary[@]}"
exit $failed
