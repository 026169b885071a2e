#!/usr/bin/env bash
# Builds and runs every benchmark under Wine and prints its figures. Each benchmark
# measures its own anchor in the same run and prints the ratio. Arguments name the benchmarks
# to run ("install", "log", "md5", ...); none runs them all. A benchmark that cannot run says so,
# the others still run, and the script ends non-zero with the names of those that failed.
set -euo pipefail
source "$(dirname "$0")/../scripts/configure.sh"
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
failed=()
wanted() { [ $# -eq 0 ] || [[ " $* " == *" $name "* ]]; }
ran() {
  local status=$1
  [ "$status" -eq 0 ] && return 0
  echo "bench: $name failed with exit code $status" >&2
  failed+=("$name")
}
for exe in "$BUILD"/bin/bench_*.exe; do
  [ -e "$exe" ] || continue
  name=$(basename "$exe" .exe)
  name=${name#bench_}
  wanted "${@}" || continue
  echo "== $(basename "$exe")"
  status=0
  wine "$exe" || status=$?
  ran "$status"
done
name=install
if wanted "${@}"; then
  # The whole setup program against NSIS, each run in a fresh copy of a prefix made for it.
  echo "== bench/install/bench_install.py"
  base="$BUILD/bench-install/prefix"
  status=0
  (export WINEPREFIX=$base; wine_prefix_ready || wine_prefix_make) || status=$?
  if [ "$status" -eq 0 ]; then
    python3 "$here/bench/install/bench_install.py" "$BUILD" "$base" || status=$?
  fi
  if [ "$status" -eq 0 ]; then
    python3 "$here/bench/install/bench_install.py" "$BUILD" "$base" --unmanaged || status=$?
  fi
  ran "$status"
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "bench: failed: ${failed[*]}" >&2
  exit 1
fi
