#!/usr/bin/env bash
# Kills quorvane-cli at each of its write(2) calls in turn, with strace's
# fault injection, while it installs, removes or restores on fresh copies
# of the sample folders; then starts the next command, as a user would.
# For every kill it tells what the two files were:
#   - right after the kill,
#   - after the next start (`check`, which changes nothing of its own),
#   - after the same command run again to its end;
# each as "before" (both as the command found them), "finished" (both as a
# whole run leaves them) or "other" (anything else: a file cut, the two out
# of step).
#   scripts/kill-walk.sh CLI [install|remove|restore]...   (default: all three)
# SYSCALLS (default "write") names the system calls killed at, each walked
# on its own (strace counts each call of a set apart): SYSCALLS="write
# rename unlink" also kills between the renames that put the files in
# place, and while their record is removed.
set -uo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 CLI [install|remove|restore]..." >&2
  exit 2
fi
cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
commands=("$@")
[ ${#commands[@]} -eq 0 ] && commands=(install remove restore)
root=$(cd "$(dirname "$0")/.." && pwd)
calls=${SYSCALLS:-write}
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-kill-walk-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"

# A fresh tree in $1 (the sample's folders), with one whole install done
# first when $2 is "installed".
fresh() {
  rm -rf "$1"
  mkdir -p "$1"
  cp -r "$root/sample/fs2002" "$1/FS2002"
  cp -r "$root/sample/squawkbox" "$1/SquawkBox"
  if [ "${2:-}" = installed ]; then run_cli "$1" install >/dev/null 2>&1; fi
}

# The arguments of COMMAND on TREE, confirmed, in the array ARGS.
args_of() {
  local tree=$1 command=$2
  ARGS=("$command" --fs "$tree/FS2002" --squawkbox "$tree/SquawkBox")
  case $command in
    install) ARGS+=(--catalogue "$root/sample/catalogue" --yes) ;;
    check) ;;
    *) ARGS+=(--yes) ;;
  esac
}
run_cli() { args_of "$1" "$2"; "$cli" "${ARGS[@]}"; }

line() {  # line TITLE ARRAY-NAME
  local -n counts=$2
  printf '  %-34s before %3d   finished %3d   other %3d\n' "$1" "${counts[before]:-0}" "${counts[finished]:-0}" \
    "${counts[other]:-0}"
}

files() { cat "$1/FS2002/aircraft/csl/Aircraft.cfg" "$1/SquawkBox/CSL_ICAO.csv" 2>/dev/null | md5sum; }
state() {
  local now
  now=$(files "$1")
  if [ "$now" = "$before" ]; then echo before; elif [ "$now" = "$finished" ]; then echo finished; else echo other; fi
}

overall=0
for command in "${commands[@]}"; do
  setup=plain
  [ "$command" = restore ] && setup=installed
  fresh "$work/t" $setup
  before=$(files "$work/t")
  run_cli "$work/t" "$command" >/dev/null 2>&1
  finished=$(files "$work/t")
  for call in $calls; do
    fresh "$work/t" $setup
    args_of "$work/t" "$command"
    strace -f -qq -e trace="$call" -o "$work/trace" "$cli" "${ARGS[@]}" >/dev/null 2>&1
    count=$(grep -c "$call(" "$work/trace")
    declare -A afterKill=() afterStart=() afterRerun=()
    for n in $(seq 1 $((count + 1))); do
      fresh "$work/t" $setup
      args_of "$work/t" "$command"
      # In a shell of its own, which is told of the kill instead of this one.
      bash -c '"$@"; exit $?' kill-walk strace -f -qq -o /dev/null -e trace="$call" \
        -e inject="$call":signal=KILL:when=$n "$cli" "${ARGS[@]}" >/dev/null 2>&1
      a=$(state "$work/t")
      run_cli "$work/t" check >/dev/null 2>&1
      b=$(state "$work/t")
      run_cli "$work/t" "$command" >/dev/null 2>&1
      c=$(state "$work/t")
      afterKill[$a]=$(( ${afterKill[$a]:-0} + 1 ))
      afterStart[$b]=$(( ${afterStart[$b]:-0} + 1 ))
      afterRerun[$c]=$(( ${afterRerun[$c]:-0} + 1 ))
      [ "$b" = other ] && overall=1
    done
    echo "$command: killed at each of its $count calls of $call and once past the last ($((count + 1)) runs)"
    line "right after the kill" afterKill
    line "after the next start (check)" afterStart
    line "after the command run again" afterRerun
    unset afterKill afterStart afterRerun
  done
done
exit $overall
