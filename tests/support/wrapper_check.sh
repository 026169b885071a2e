#!/usr/bin/env bash
# The test wrapper's own checks, on wrapper_sleeper.exe (a program and its child copy that sleep
# until killed), in a lane of scripts/test.sh:
#   killed   its Wine process killed mid-run (a signal, the out-of-memory killer) fails the run,
#            where Wine reports exit code 0 to its parent
#   timeout  the wrapper and its processes killed as ctest's timeout kills them leave no process
#            of the program, nor of the program it started, on the lane
# Usage: wrapper_check.sh killed|timeout SLEEPER_EXE BUILD_DIR
set -uo pipefail
mode=$1 sleeper=$2 build=$3
[ -n "${TAMSEL_LANES:-}" ] || { echo "wrapper_check: needs the lanes of scripts/test.sh"; exit 77; }
# A word of this run's own on the command line finds the program's processes: Wine shows a
# program's Windows command line as its process's arguments.
token=wrapper-check-$$-$RANDOM
out=$(mktemp)
programs() {
  ps -eo pid=,args= --sort=start_time | awk -v t="$token" 'index($0, t) && !/wine-run\.sh|desktop_run\.exe|awk/ {print $1}'
}
finish() {
  local pid
  for pid in $(programs); do kill -KILL "$pid" 2>/dev/null; done
  rm -f "$out"
}
trap finish EXIT

"$build/wine-run.sh" "$sleeper" "$token" >"$out" 2>&1 &
wrapper=$!
for _ in $(seq 1 600); do
  [ "$(programs | wc -l)" -ge 2 ] && break
  sleep 0.1
done
[ "$(programs | wc -l)" -ge 2 ] || { echo "wrapper_check: the sleeper and its child did not start"; cat "$out"; exit 1; }

case $mode in
  killed)
    kill -KILL "$(programs | head -n 1)"
    wait "$wrapper"
    status=$?
    cat "$out"
    [ "$status" -ne 0 ] || { echo "wrapper_check: the wrapper passed a program killed mid-run"; exit 1; }
    grep -q "did not run to its end" "$out" || { echo "wrapper_check: the wrapper failed ($status) for another reason"; exit 1; }
    ;;
  timeout)
    tree() { local child; for child in $(ps -o pid= --ppid "$1"); do echo "$child"; tree "$child"; done; }
    # ctest kills the wrapper and every process below it, with SIGKILL.
    kill -KILL "$wrapper" $(tree "$wrapper")
    wait "$wrapper" 2>/dev/null
    for _ in $(seq 1 100); do
      [ -z "$(programs)" ] && break
      sleep 0.1
    done
    left=$(programs)
    [ -z "$left" ] || { echo "wrapper_check: left running after the wrapper was killed:"; ps -o pid,ppid,args -p "${left//$'\n'/,}"; exit 1; }
    ;;
  *)
    echo "usage: wrapper_check.sh killed|timeout SLEEPER_EXE BUILD_DIR" >&2
    exit 2
    ;;
esac
echo "wrapper_check: $mode passed"
