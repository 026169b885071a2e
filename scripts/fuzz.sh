#!/usr/bin/env bash
# The long fuzz round: every reader of outside input reads INPUTS mutated inputs (default one
# million) after its kept regression inputs, with the fixed seed. The slow readers are split into
# ranges of input numbers (install packages in two, skin layouts in four); the jobs run side by
# side, each in a Wine prefix of its own so that they do not queue at one wine server. Their
# reports go to build/artifacts/fuzz/round-<job>.log and are printed at the end.
# Usage: bash scripts/fuzz.sh [INPUTS]
set -euo pipefail
source "$(dirname "$0")/configure.sh"
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
inputs=${1:-1000000}
out="$BUILD/artifacts/fuzz"
mkdir -p "$out"
# A copy runs: a rebuild meanwhile must not rewrite the file under the running round.
cp "$BUILD/bin/fuzz_readers.exe" "$out/fuzz_readers-round.exe"

jobs=("others|--inputs $inputs --reader zip --reader skinzip --reader xml --reader logconfig --reader search --reader reasons")
# reader parts: the reader's inputs in that many ranges of numbers, one job each.
split_reader() {
  local reader=$1 parts=$2 part first=0 count
  for part in $(seq 1 "$parts"); do
    count=$(((inputs - first) / (parts - part + 1)))
    jobs+=("$reader-$part|--reader $reader --first $first --inputs $count")
    first=$((first + count))
  done
}
split_reader package 2
split_reader markup 4
pids=()
for job in "${jobs[@]}"; do
  name=${job%%|*}
  prefix="$BUILD/fuzz-prefix-$name"
  [ -f "$prefix/.tamsel-ready" ] || { rm -rf "$prefix"; cp -a "$WINEPREFIX" "$prefix"; }
  # shellcheck disable=SC2086
  WINEPREFIX=$prefix wine "$out/fuzz_readers-round.exe" --time-limit-ms 10000 ${job#*|} \
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
