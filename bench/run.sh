#!/usr/bin/env bash
# Builds and runs every benchmark under Wine and prints its figures. Each benchmark
# measures its own anchor in the same run and prints the ratio.
set -euo pipefail
source "$(dirname "$0")/../scripts/configure.sh"
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
for exe in "$BUILD"/bin/bench_*.exe; do
  [ -e "$exe" ] || continue
  echo "== $(basename "$exe")"
  wine "$exe"
done
