#!/usr/bin/env bash
# Builds and runs every benchmark under Wine and prints its figures. Each benchmark
# measures its own anchor in the same run and prints the ratio. Arguments name the benchmarks
# to run ("install", "log", "md5", ...); none runs them all.
set -euo pipefail
source "$(dirname "$0")/../scripts/configure.sh"
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
wanted() { [ $# -eq 0 ] || [[ " $* " == *" $name "* ]]; }
for exe in "$BUILD"/bin/bench_*.exe; do
  [ -e "$exe" ] || continue
  name=$(basename "$exe" .exe)
  name=${name#bench_}
  wanted "${@}" || continue
  echo "== $(basename "$exe")"
  wine "$exe"
done
name=install
if wanted "${@}"; then
  # The whole setup program against NSIS, each run in a fresh copy of a prefix made for it.
  echo "== bench/install/bench_install.py"
  base="$BUILD/bench-install/prefix"
  (export WINEPREFIX=$base; wine_prefix_ready || wine_prefix_make)
  python3 "$here/bench/install/bench_install.py" "$BUILD" "$base"
  python3 "$here/bench/install/bench_install.py" "$BUILD" "$base" --unmanaged
fi
