#!/usr/bin/env bash
# Replacing files in use at the next restart, for real: phase 1 of the test program leaves the
# files waiting, the test prefix is restarted (wine wineboot -r carries out its restart list),
# phase 2 finds them in place. Registered RUN_SERIAL: the restart concerns the whole prefix.
# Usage: restart_phases.sh PHASES_EXE WINEPREFIX WORK_DIR
set -euo pipefail

exe=$1
export WINEPREFIX=$2
work=$3
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
unset TZ

[ -f "$WINEPREFIX/.tamsel-ready" ] || { echo "restart_phases: no test prefix at $WINEPREFIX" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work/files"
export TAMSEL_PHASE_DIR="Z:${work//\//\\}\\files"

# Wine also carries out the restart list when a new wineserver session starts: one persistent
# session holds both phases, so only the explicit restart can do it. Nothing else runs now.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wineserver -p
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# One phase: its filter must select and pass at least one test. Output goes through a file:
# the session's services inherit the program's handles and would hold a pipe open.
run_phase() {
  local out="$work/$1.out" rc=0
  wine "$exe" --gtest_filter="$1" >"$out" 2>&1 </dev/null || rc=$?
  cat "$out"
  [ "$rc" -eq 0 ] || { echo "restart_phases: $1 failed" >&2; return 1; }
  grep -Eq '^\[  PASSED  \] [1-9][0-9]* test' "$out" || { echo "restart_phases: $1 ran no test" >&2; return 1; }
}

run_phase 'UpdateRestartPhase1.*'
# Still in the same session: nothing has been carried out yet.
run_phase 'UpdateRestartPhase1Check.*'
wine wineboot -r >"$work/wineboot.out" 2>&1 </dev/null
run_phase 'UpdateRestartPhase2.*'
echo "restart_phases: passed"
