#!/usr/bin/env bash
# Runs SelfPath's test in a copy of the test program whose path is longer than MAX_PATH. Wine
# starts it from the Unix side: its CreateProcess refuses such a path.
set -euo pipefail
program=$1 build=$2
deep=$build/self-path
for _ in 1 2 3 4 5; do deep+=/$(printf 'd%.0s' {1..60}); done
rm -rf "$build/self-path"
mkdir -p "$deep"
cp "$program" "$deep/self.exe"
export TAMSEL_EXPECT_SELF="Z:${deep//\//\\}\\self.exe"
# It shows no window, so it needs no lane of its own: a lane starts its program through
# CreateProcess, which refuses the path.
TAMSEL_LANES= "$build/wine-run.sh" "$deep/self.exe" --gtest_filter=SelfPath.*
