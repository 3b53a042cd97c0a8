#!/usr/bin/env bash
# `make run`: installs the sample airlines into fresh copies of the sample
# FS2002 and SquawkBox folders and shows what changed.
#   scripts/run.sh NATIVE_BUILD_DIR RUN_DIR
set -euo pipefail
native=$1
run=$2
root=$(cd "$(dirname "$0")/.." && pwd)

rm -rf "$run"
mkdir -p "$run/config"
cp -r "$root/sample/fs2002" "$run/FS2002"
cp -r "$root/sample/squawkbox" "$run/SquawkBox"

echo "Installing the sample airlines into $run/FS2002 and $run/SquawkBox"
echo
set +e
XDG_CONFIG_HOME="$run/config" "$native/cli/quorvane-cli" install \
  --catalogue "$root/sample/catalogue" --fs "$run/FS2002" --squawkbox "$run/SquawkBox" --yes
status=$?
set -e

echo
echo "What changed (sample on the left, installed on the right):"
diff -ru --strip-trailing-cr "$root/sample/fs2002" "$run/FS2002" | sed 's/^/  /' || true
diff -ru --strip-trailing-cr "$root/sample/squawkbox" "$run/SquawkBox" | sed 's/^/  /' || true
exit $status
