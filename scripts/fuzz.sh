#!/usr/bin/env bash
# The long fuzz round: every reader of outside input reads INPUTS mutated inputs (default one
# million) after its kept regression inputs, with the fixed seed. The two slow readers (install
# packages, skin layouts) are split into two ranges of input numbers each; the jobs run side by
# side, each in a Wine prefix of its own so that they do not queue at one wine server. Their
# reports go to build/artifacts/fuzz/round-<job>.log and are printed at the end.
# Usage: bash scripts/fuzz.sh [INPUTS]
set -euo pipefail
source "$(dirname "$0")/configure.sh"
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
inputs=${1:-1000000}
half=$((inputs / 2))
out="$BUILD/artifacts/fuzz"
mkdir -p "$out"
# A copy runs: a rebuild meanwhile must not rewrite the file under the running round.
cp "$BUILD/bin/fuzz_readers.exe" "$out/fuzz_readers-round.exe"

jobs=(
  "package-1|--reader package --first 0 --inputs $half"
  "package-2|--reader package --first $half --inputs $((inputs - half))"
  "markup-1|--reader markup --first 0 --inputs $half"
  "markup-2|--reader markup --first $half --inputs $((inputs - half))"
  "others|--inputs $inputs --reader zip --reader skinzip --reader xml --reader logconfig --reader search --reader reasons"
)
pids=()
for job in "${jobs[@]}"; do
  name=${job%%|*}
  prefix="$BUILD/fuzz-prefix-$name"
  [ -f "$prefix/.tamsel-ready" ] || { rm -rf "$prefix"; cp -a "$WINEPREFIX" "$prefix"; }
  # shellcheck disable=SC2086
  WINEPREFIX=$prefix nice wine "$out/fuzz_readers-round.exe" --time-limit-ms 10000 ${job#*|} \
    >"$out/round-$name.log" 2>&1 &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
for job in "${jobs[@]}"; do
  name=${job%%|*}
  WINEPREFIX="$BUILD/fuzz-prefix-$name" wineserver -k >/dev/null 2>&1 || true
  cat "$out/round-$name.log"
done
exit $status
