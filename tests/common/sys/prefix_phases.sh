#!/usr/bin/env bash
# Runs phases of sys_phases.exe in a private copy of the test prefix, for steps that change the
# whole prefix (its Windows version, a restart) or would harm it if the code under test failed.
# Usage: prefix_phases.sh restart|version|roots PHASES_EXE BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../../../scripts/wine-env.sh"

mode=$1
exe=$2
build=$3
base="$build/wineprefix"
copy="$build/sys-prefix-$mode"
work="$build/sys-phase-$mode"

export WINEPREFIX="$copy" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
unset TZ

[ -f "$base/.tamsel-ready" ] || { echo "prefix_phases: no test prefix at $base" >&2; exit 1; }

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$copy" "$work" "$work.log"
}
trap cleanup EXIT
rm -rf "$copy" "$work"
mkdir -p "$work"

# Hard links keep the copy cheap.
wine_prefix_link_copy "$base" "$copy"

win_path() { local p=${1//\//\\}; echo "Z:$p"; }

# One phase: its filter must select and pass at least one test.
# Output goes through a file: Wine's helper processes may outlive the phase and hold a pipe open.
run_phase() {
  local filter=$1 log="$work.log" rc=0
  TAMSEL_WINEPREFIX="$copy" "$build/wine-run.sh" "$exe" --gtest_filter="$filter" >"$log" 2>&1 || rc=$?
  cat "$log"
  [ $rc -eq 0 ] || { echo "prefix_phases: phase $filter failed" >&2; return 1; }
  grep -Eq '^\[  PASSED  \] [1-9][0-9]* test' "$log" || {
    echo "prefix_phases: phase $filter ran no test" >&2; return 1; }
}

set_version() {  # winecfg name; the 64-bit prefix names Windows XP "winxp64"
  wine winecfg -v "$1" </dev/null >/dev/null 2>&1 && { echo "$1"; return; }
  [ "$1" = winxp ] && wine winecfg -v winxp64 </dev/null >/dev/null 2>&1 && { echo winxp64; return; }
  echo "prefix_phases: winecfg -v $1 failed" >&2
  return 1
}

case $mode in
  restart)
    mkdir -p "$work/linktarget" "$work/linktree"
    echo precious > "$work/linktarget/precious.txt"
    echo a > "$work/linktree/a.txt"
    ln -s "$work/linktarget" "$work/linktree/link"
    ln -s "$work/linktarget" "$work/toplink"
    export TAMSEL_PHASE_DIR; TAMSEL_PHASE_DIR=$(win_path "$work")
    # Wine carries out the restart list whenever a new wineserver session starts: one persistent
    # server keeps both phases in one session, so only the explicit restart can do it.
    wineserver -p </dev/null >/dev/null 2>&1
    run_phase 'RestartPhase1.*'
    wine wineboot -r </dev/null >/dev/null 2>&1
    run_phase 'RestartPhase2.*'
    [ -f "$work/linktarget/precious.txt" ] || { echo "prefix_phases: a link's target lost its file" >&2; exit 1; }
    ;;
  version)
    declare -A expected=([win10]=10.0 [win7]=6.1 [winxp]=5.1 [winxp64]=5.2)
    for v in win10 winxp win7; do
      name=$(set_version "$v")
      echo "prefix_phases: prefix set to $name"
      TAMSEL_EXPECT_VERSION=${expected[$name]} run_phase 'VersionPhase.*'
    done
    ;;
  roots)
    run_phase 'RootRefusal.*'
    ;;
  *)
    echo "usage: prefix_phases.sh restart|version|roots PHASES_EXE BUILD_DIR" >&2
    exit 2
    ;;
esac
echo "prefix_phases: $mode passed"
