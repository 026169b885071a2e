#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test under Wine (private prefix, one Xvfb
# display for the run and one more for each job: its lane, see tests/wine-run.sh.in).
set -euo pipefail
source "$(dirname "$0")/configure.sh"
source "$here/scripts/wine-env.sh"
jobs=${TAMSEL_TEST_JOBS:-4}
wine_env_start "$BUILD"
wine_lanes_start "$jobs" "$BUILD/bin/desktop_run.exe"
cd "$BUILD"
wine_env_run ctest --output-on-failure -j"$jobs" "$@"
