#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each of them on its seed corpus.
#   scripts/fuzz.sh BUILDDIR smoke   a few seconds a target (make test-fuzz)
#   scripts/fuzz.sh BUILDDIR long    FUZZ_SECONDS a target, default 60 (make fuzz)
# Exits non-zero when a target finds a crash, a leak, undefined behaviour
# or a broken invariant; the input that did it is kept in
# BUILDDIR/artifacts/<target>/ and the log in BUILDDIR/logs/<target>.log.
set -euo pipefail

build=${1:?usage: scripts/fuzz.sh BUILDDIR smoke|long}
mode=${2:-smoke}
root=$(cd "$(dirname "$0")/.." && pwd)
# The engine changes the current folder while it works, so every path
# handed to a fuzz target is absolute.
mkdir -p "$build"
build=$(cd "$build" && pwd)
jobs=${JOBS:-2}
[ "$jobs" -gt 2 ] && jobs=2

case "$mode" in
  smoke) seconds=${FUZZ_SMOKE_SECONDS:-6} ;;
  long) seconds=${FUZZ_SECONDS:-60} ;;
  *) echo "scripts/fuzz.sh: mode must be smoke or long" >&2; exit 2 ;;
esac

targets=(profile_fuzz csv_field_fuzz removal_pass_fuzz title_scan_fuzz model_sort_fuzz cli_args_fuzz)

cmake -S "$root" -B "$build" -DQUORVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target fuzz-targets -j"$jobs" >/dev/null

# Larger inputs where a whole file is the input.
max_len() {
  case "$1" in
    removal_pass_fuzz|title_scan_fuzz|model_sort_fuzz) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
printf '%-18s %10s %8s %8s %8s\n' target runs exec/s cov ft
for t in "${targets[@]}"; do
  # The smoke run starts from the seeds alone, so its time stays fixed; the
  # long run keeps growing its corpus from run to run.
  if [ "$mode" = smoke ]; then
    work="$build/smoke-corpus/$t"
    rm -rf "$work"
  else
    work="$build/corpus/$t"
  fi
  artifacts="$build/artifacts/$t"
  log="$build/logs/$t.log"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  status=0
  # New inputs go to the first folder, in the build folder; the seeds in
  # the repo are only read.
  "$build/fuzz/$t" "$work" "$root/fuzz/corpus/$t" \
    -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" </dev/null >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  printf '%-18s %10s %8s %8s %8s\n' "$t" "${runs:-?}" "${speed:-?}" "${cov:-?}" "${ft:-?}"
  if [ "$status" -ne 0 ]; then
    failed+=("$t")
    echo "--- $t failed (exit $status); end of $log:" >&2
    tail -40 "$log" >&2
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
