#!/usr/bin/env bash
# Counts the instructions of the bench's two sides of the largest install:
# quorvane-cli install as a process, and the plain copy of the same bytes
# (cp -r of the texture folders, cat of both text files), each on fresh
# folders made as the bench makes them. Instruction counts do not change
# with the machine's load, unlike the bench's times.
#
#   bench/count_instructions.sh CLI GEN DATA [OUT]
#     CLI   quorvane-cli to measure
#     GEN   quorvane-bench-gen (writes the tree once into DATA/largest)
#     DATA  a scratch folder (about 200 MiB)
#     OUT   where callgrind's files go (default DATA/out)
#
# Prints: process instructions, copy instructions, their ratio, and the
# system calls of each side. Only user-space instructions are counted:
# the kernel's work of moving the bytes is not in either figure.
set -euo pipefail

cli=$(realpath "${1:?usage: count_instructions.sh CLI GEN DATA [OUT]}")
gen=$(realpath "${2:?}")
data=${3:?}
mkdir -p "$data"
data=$(realpath "$data")
out=${4:-$data/out}
mkdir -p "$out"
out=$(realpath "$out")
tree=$data/largest

if [ ! -f "$tree/catalogue/Airlines.dat" ]; then
  rm -rf "$tree"
  "$gen" "$tree" >&2
  sleep 2.1  # a catalogue written in the last two seconds is never kept
fi

# Fresh FS2002 and SquawkBox folders under DATA/<round>, as PrepareRound.
prepare() {
  local round=$data/$1
  rm -rf "$round"
  mkdir -p "$round/FS2002/aircraft/csl" "$round/SquawkBox"
  : > "$round/FS2002/FS2002.exe"
  cp "$tree/template/Aircraft.cfg" "$round/FS2002/aircraft/csl/Aircraft.cfg"
  cp "$tree/template/CSL_ICAO.csv" "$round/SquawkBox/CSL_ICAO.csv"
  sync
}

process_cmd() {
  local round=$data/$1
  echo "$cli" install --catalogue "$tree/catalogue" --fs "$round/FS2002" --squawkbox "$round/SquawkBox" --yes
}

copy_cmd() {
  local round=$data/$1
  echo "cp -r '$tree/staging/.' '$round/FS2002/aircraft/csl' && cat '$tree/template/Aircraft.cfg' > '$round/FS2002/aircraft/csl/Aircraft.cfg' && cat '$tree/template/CSL_ICAO.csv' > '$round/SquawkBox/CSL_ICAO.csv'"
}

# The sum of the "totals:" lines of callgrind's files matching a prefix.
total_ir() {
  cat "$1".* | awk '/^totals:/ { s += $2 } END { printf "%d\n", s }'
}

rm -f "$out"/process.* "$out"/copy.*

prepare process
# shellcheck disable=SC2046
valgrind --tool=callgrind --callgrind-out-file="$out/process.%p" -q $(process_cmd process) </dev/null >"$out/process.log" 2>&1 ||
  { echo "quorvane-cli install did not complete (see $out/process.log)" >&2; exit 1; }
process=$(total_ir "$out/process")

prepare copy
valgrind --tool=callgrind --trace-children=yes --callgrind-out-file="$out/copy.%p" -q sh -c "$(copy_cmd copy)" >"$out/copy.log" 2>&1
copy=$(total_ir "$out/copy")

# System calls of each side, also independent of the load.
prepare process
# shellcheck disable=SC2046
strace -f -c -o "$out/process.strace" $(process_cmd process) </dev/null >/dev/null 2>&1
prepare copy
strace -f -c -o "$out/copy.strace" sh -c "$(copy_cmd copy)"
calls() { awk '$NF == "total" { print $4 }' "$1"; }
rm -rf "$data/process" "$data/copy"

awk -v p="$process" -v c="$copy" -v ps="$(calls "$out/process.strace")" -v cs="$(calls "$out/copy.strace")" 'BEGIN {
  printf "process instructions %15d\ncopy instructions    %15d\nratio                %15.2f\n", p, c, p / c
  printf "process system calls %15s\ncopy system calls    %15s\n", ps, cs
}'
