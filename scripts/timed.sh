#!/usr/bin/env bash
# Runs a command and then says how long it took, so that `make test` shows
# the time of each of its parts.
#   scripts/timed.sh TITLE COMMAND...
title=$1
shift
start=$(date +%s)
"$@"
rc=$?
took=$(( $(date +%s) - start ))
if [ $rc -eq 0 ]; then
  echo "[time] $title: ${took} s"
else
  echo "[time] $title: FAILED (status $rc) after ${took} s"
fi
exit $rc
