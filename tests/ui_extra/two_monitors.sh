#!/usr/bin/env bash
# Runs the menus' monitor test on a screen of two monitors: an Xvfb whose second head (1920x1200)
# reaches past the primary one (1280x1024), which Wine reads through Xinerama. Wine keeps the
# monitors it finds for the whole prefix, so the test runs in a copy of the test prefix, with a Wine
# server and a display of its own, and the other tests keep their one monitor.
set -euo pipefail
program=$1 build=$2 source=$3
source "$source/scripts/wine-env.sh"
work=$build/two-monitors
finish() {
  WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
  local pid
  for pid in ${TAMSEL_XVFB_PIDS:-}; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT
rm -rf "$work"
mkdir -p "$work"
# Hard links are enough for the files, which this test only reads. Wine saves a registry file with
# more than one link in place, which would write this test's settings into the shared prefix while
# other tests run: those are copies.
wine_prefix_link_copy "$build/wineprefix" "$work/prefix"
xvfb_start +xinerama -screen 0 1280x1024x24 -screen 1 1920x1200x24 || { echo "two_monitors: no Xvfb" >&2; exit 1; }
export DISPLAY=$xvfb_display WINEPREFIX=$work/prefix TAMSEL_WINEPREFIX=$work/prefix TAMSEL_LANES=
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
# Xinerama's heads instead of RandR's one output.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
"$build/wine-run.sh" "$program" --gtest_filter=MenuMonitors.*
