#!/usr/bin/env bash
# The engine's folders stand in layers (docs/architecture.md): a file
# includes from its own folder and from folders below it, always naming the
# folder, and the platform layer includes nothing of the engine or the front
# ends. Prints each include that breaks this and fails if there is one.
#   scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root="${1:-$(dirname "$0")/..}"

# Lower numbers stand lower; folders of one number never include each other.
declare -A level=(
  [text]=0
  [backups]=1
  [catalogue]=2 [staging]=2
  [run]=3
  [removal]=4 [install]=4
  [checks]=5
  [commands]=6
)

broken=0
complain() {
  echo "$1: $2" >&2
  broken=1
}

for file in "$root"/engine/*/*.h "$root"/engine/*/*.cpp; do
  folder=$(basename "$(dirname "$file")")
  name="engine/$folder/$(basename "$file")"
  if [ -z "${level[$folder]+set}" ]; then
    complain "$name" "a folder that has no place among the layers (add it to scripts/check-layers.sh)"
    continue
  fi
  while IFS= read -r included; do
    if [[ "$included" != */* ]]; then
      complain "$name" "#include \"$included\" does not name its folder"
      continue
    fi
    top=${included%%/*}
    [ "$top" = platform ] && continue
    [ "$top" = "$folder" ] && continue
    if [ -z "${level[$top]+set}" ]; then
      complain "$name" "#include \"$included\" reaches outside the engine and the platform layer"
    elif [ "${level[$top]}" -ge "${level[$folder]}" ]; then
      complain "$name" "#include \"$included\" runs up or sideways, from $folder to $top"
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done

for file in "$root"/platform/*.h "$root"/platform/*.cpp; do
  while IFS= read -r included; do
    complain "platform/$(basename "$file")" "#include \"$included\" runs up out of the platform layer"
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\(\(engine\|ui\|cli\|commands\|run\)\/[^"]*\)".*/\1/p' "$file")
done

if [ "$broken" = 0 ]; then
  echo "Every include of the engine and the platform layer runs down."
fi
exit "$broken"
