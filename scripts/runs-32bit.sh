#!/usr/bin/env bash
# Exit status 0 when this machine runs 32-bit x86 programs (see
# qv_runs_32bit in wine-env.sh), 1 when it does not.
source "$(dirname "$0")/wine-env.sh"
qv_runs_32bit
