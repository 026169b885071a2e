#!/usr/bin/env bash
# Sets up the machine, builds the sample setup program and runs it under Wine.
set -euo pipefail
source "$(dirname "$0")/configure.sh"
setup=$(ls "$BUILD"/out/*.exe 2>/dev/null | head -n 1 || true)
if [ -z "$setup" ]; then
  echo "build: the libraries are built; the installer application does not exist yet, so there is no sample setup program to run."
  exit 0
fi
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
echo "build: running $setup"
wine "$setup" "$@"
