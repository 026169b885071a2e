#!/usr/bin/env bash
# Sets up the machine, builds everything (the finished sample setup program lands in
# build/out/) and runs that setup program under Wine in the build's private prefix.
# With a display (DISPLAY set) the install window opens there; without one the setup runs
# a silent install ("/silent") on a private Xvfb. Arguments are passed to the setup program.
set -euo pipefail
source "$(dirname "$0")/configure.sh"
setup=$(ls "$BUILD"/out/*.exe 2>/dev/null | head -n 1 || true)
[ -n "$setup" ] || { echo "build: no sample setup program was made in $BUILD/out" >&2; exit 1; }
args=("$@")
if [ -z "${DISPLAY:-}" ] && [ ${#args[@]} -eq 0 ]; then
  echo "build: no display: running a silent install (/silent) on a private X server"
  args=(/silent)
fi
source "$here/scripts/wine-env.sh"
wine_env_start "$BUILD"
echo "build: running $setup ${args[*]}"
code=0
wine "$setup" "${args[@]}" || code=$?
echo "build: the setup program ended with exit code $code"
folder="$WINEPREFIX/drive_c/Program Files (x86)/Orvenna/PelluvoV2"
if [ -d "$folder" ]; then
  echo "build: installed into $folder:"
  ls "$folder"
fi
exit "$code"
