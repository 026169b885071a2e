#!/usr/bin/env bash
# The long round of the skin fuzzing: COUNT random layouts (default 100000) of seed SEED (default
# 1), split over PROGRAMS programs run side by side (default 4), each under Wine's heap checks with
# its figures (handles, memory, windows, GDI objects) taken after its first thousand layouts and
# at its end. Builds first, like scripts/test.sh. Any crash, hang, heap report or growth fails
# the round and is printed with its layout as a row for regressions.txt. A crash, a hang or a
# damaged heap ends its program, which goes on from the next layout, so that one round finds every
# fault of its layouts; so does a known fault of Wine itself, which the round names but does not
# count.
#   bash tests/skin_fuzz/long_round.sh [COUNT] [SEED] [PROGRAMS]
set -euo pipefail
count=${1:-100000}
seed=${2:-1}
shards=${3:-4}
source "$(dirname "$0")/../../scripts/configure.sh"
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
out="$BUILD/skin_fuzz_long"
rm -rf "$out"
mkdir -p "$out"

# One program's share, cases FIRST to END-1, started again after a case that crashed, hung, damaged
# the heap (3, 4, 5: the report stays in its part's output) or met a fault of Wine (7).
run_share() {
  local i=$1 first=$2 end=$3 part=0 rc
  while [ "$first" -lt "$end" ]; do
    rc=0
    TAMSEL_WINEDEBUG=-all,err+heap,warn+heap nice "$BUILD/wine-run.sh" "$BUILD/bin/skin_fuzz.exe" \
      --skin "$BUILD/tests/skin_fuzz/skin" --seed "$seed" --first "$first" --count $((end - first)) \
      --figures-every 5000 --max-growth-kb 4096 --max-handle-growth 16 --max-gdi-growth 8 --trail "$out/shard$i.case" \
      >"$out/shard$i.$part.out" 2>"$out/shard$i.$part.err" || rc=$?
    case "$rc" in
      3 | 4 | 5) ;;
      7) grep -h 'skin_fuzz: platform fault' "$out/shard$i.$part.err" >>"$out/platform.txt" ;;
      *) return "$rc" ;;
    esac
    first=$(($(grep -o 'in case [0-9]*' "$out/shard$i.$part.err" | tail -1 | grep -o '[0-9]*') + 1))
    part=$((part + 1))
  done
}

per=$(( (count + shards - 1) / shards ))
start=$(date +%s)
pids=()
for ((i = 0; i < shards; i++)); do
  first=$(( i * per ))
  end=$(( first + per < count ? first + per : count ))
  run_share "$i" "$first" "$end" &
  pids+=($!)
done
failed=0
for ((i = 0; i < shards; i++)); do
  # A program killed from outside (its display or its Wine server gone) may end with status 0:
  # only its closing line shows that it ran its share to the end.
  if wait "${pids[$i]}" && grep -q 'windows built' "$(ls -t "$out"/shard$i.*.out | head -1)"; then continue; fi
  failed=1
  # A program ended by the platform at once (Xlib does so on some errors) reports nothing itself.
  grep -q -E 'skin_fuzz: (crash|hang|damaged|memory|handles|GDI|top-level)' "$out"/shard$i.*.out "$out"/shard$i.*.err ||
    echo "skin_fuzz: program $i ended without a report in $(cat "$out/shard$i.case" 2>/dev/null)" >>"$out/shard$i.0.err"
done
seconds=$(( $(date +%s) - start ))
cat "$out"/shard*.out | grep -v '^skin_fuzz: [0-9]* elements' || true
if grep -l -E 'warn:heap|err:heap|skin_fuzz: (crash|hang|damaged|program)' "$out"/shard*.err >/dev/null; then
  failed=1
  # Each report with the row of its layout, the line after it. Rows can be long: the whole rows
  # go to failing.txt, to be replayed or shrunk from there.
  awk '/platform fault/ { skip = 1; next } skip { skip = 0; next } /warn:heap|err:heap|skin_fuzz: / { print; row = /skin_fuzz: (crash|hang|damaged)/; next } row { print; row = 0 }' \
    "$out"/shard*.err >"$out/failing.txt"
  cut -c1-2000 "$out/failing.txt"
  echo "skin_fuzz long round: whole rows in $out/failing.txt"
  echo "skin_fuzz long round: $(cat "$out"/shard*.err | grep -c -E '^skin_fuzz: (crash|hang|damaged|program)') failing layouts"
fi
if [ -f "$out/platform.txt" ]; then
  echo "skin_fuzz long round: $(wc -l <"$out/platform.txt") cases met a known fault of Wine:"
  cut -c1-200 "$out/platform.txt"
fi
if [ "$failed" != 0 ]; then
  echo "skin_fuzz long round: FAILED after $seconds s; each program's last case: $(for f in "$out"/shard*.case; do printf '%s; ' "$(cat "$f")"; done) (outputs in $out)"
  exit 1
fi
echo "skin_fuzz long round: $count layouts of seed $seed in $seconds s ($(( count / (seconds > 0 ? seconds : 1) )) layouts/s over $shards programs)"
echo "skin_fuzz long round: passed"
