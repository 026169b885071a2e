#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test under Wine (private prefix, one Xvfb).
set -euo pipefail
source "$(dirname "$0")/configure.sh"
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
cd "$BUILD"
ctest --output-on-failure -j"${TAMSEL_TEST_JOBS:-4}" "$@"
