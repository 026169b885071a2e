# Sourced by the build and test scripts: one Xvfb display and one private Wine prefix per run.
# Usage: wine_env_start BUILD_DIR; the prefix is BUILD_DIR/wineprefix.

wine_env_start() {
  local build=$1
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  # Without the debugger (winedbg) a crashing program ends at once instead of waiting for a person.
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
  unset TZ
  if [ -z "${DISPLAY:-}" ] || [ -n "${TAMSEL_OWN_DISPLAY:-}" ]; then
    trap wine_env_stop EXIT
    xvfb_start || { echo "wine-env: could not start Xvfb" >&2; return 1; }
    export DISPLAY=$xvfb_display
  fi
  wine_prefix_ready || wine_prefix_make || return 1
  # Bring the wineserver and the desktop up once, before programs start in parallel: the first
  # programs of a session otherwise wait on the desktop's start while others run.
  # (A server still running from a run just before refuses -p: it serves this run as well.)
  wineserver -p30 2>/dev/null || true
  wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 || true
}

# xvfb_start [SCREEN ARGUMENTS...]: starts an Xvfb (one 1280x1024 screen unless told otherwise) on
# the first free display from :90; sets xvfb_display and remembers the server, from its start on,
# for wine_env_stop.
xvfb_start() {
  local screens=("$@") n pid i
  [ ${#screens[@]} -gt 0 ] || screens=(-screen 0 1280x1024x24)
  for n in $(seq 90 160); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" "${screens[@]}" -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    TAMSEL_XVFB_PIDS="${TAMSEL_XVFB_PIDS:-} $pid"
    for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      xvfb_display=":$n"
      return 0
    fi
    # Another server took the display first, or this one did not come up.
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    TAMSEL_XVFB_PIDS=${TAMSEL_XVFB_PIDS% "$pid"}
  done
  return 1
}

# wine_lanes_start COUNT DESKTOP_RUN: one lane per test job, each an X display of its own and the
# Wine desktop "tamsel-lane<display number>" on it (see tests/wine-run.sh.in); programs run through
# the test wrapper take a free lane. DESKTOP_RUN (desktop_run.exe) holds each lane's desktop for
# the run, its window started here with no output to keep open.
wine_lanes_start() {
  local count=$1 desktop_run=$2 k display lane holders=() probes=() status
  # Set first: a start that fails or is interrupted stops the servers it started.
  trap wine_env_stop EXIT
  TAMSEL_LANE_DIR=$(mktemp -d /tmp/tamsel-lanes.XXXXXX)
  TAMSEL_LANES=
  for k in $(seq 1 "$count"); do
    xvfb_start || { echo "wine-env: could not start the Xvfb of test lane $k" >&2; return 1; }
    TAMSEL_LANES="$TAMSEL_LANES $xvfb_display"
  done
  export TAMSEL_LANES TAMSEL_LANE_DIR
  for display in $TAMSEL_LANES; do
    DISPLAY=$display wine "$desktop_run" "tamsel-lane${display#:}" </dev/null >/dev/null 2>&1 &
    holders+=($!)
  done
  # Each desktop is up once a program has run on it while its holder still runs (the holder ends
  # at once when its desktop has no window).
  for display in $TAMSEL_LANES; do
    DISPLAY=$display timeout -s KILL 120 wine "$desktop_run" "tamsel-lane${display#:}" \
      rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 &
    probes+=($!)
  done
  k=0
  for display in $TAMSEL_LANES; do
    lane="test lane $display (desktop tamsel-lane${display#:})"
    status=0
    wait "${probes[k]}" || status=$?
    if [ "$status" -ne 0 ]; then
      echo "wine-env: the desktop of $lane did not come up: a program run on it ended with $status" >&2
      return 1
    fi
    if ! kill -0 "${holders[k]}" 2>/dev/null; then
      status=0
      wait "${holders[k]}" || status=$?
      echo "wine-env: the desktop of $lane did not come up: its holder ended with $status" >&2
      return 1
    fi
    k=$((k + 1))
  done
}

# wine_env_run COMMAND...: runs COMMAND (ctest); Ctrl-C or a kill of the calling script ends it and
# every process below it (ctest itself leaves its tests running), before the EXIT trap stops the
# Wine server and the displays.
wine_env_run() {
  "$@" &
  local pid=$!
  trap "process_tree_stop $pid; exit 129" HUP
  trap "process_tree_stop $pid; exit 130" INT
  trap "process_tree_stop $pid; exit 143" TERM
  wait "$pid"
}

# process_tree_stop PID: ends PID and the processes below it. They are asked first (TERM), so that
# scripts among them stop what they started, such as their copies of the prefix; after a few
# seconds the rest is killed.
process_tree_stop() {
  local pids pid i alive
  kill -STOP "$1" 2>/dev/null || true  # starts nothing more while its processes are gathered
  pids=$(process_tree "$1")
  kill -KILL "$1" 2>/dev/null || true
  # shellcheck disable=SC2086
  kill -TERM $pids 2>/dev/null || true
  for i in $(seq 1 50); do
    alive=
    for pid in $pids; do kill -0 "$pid" 2>/dev/null && alive=$pid && break; done
    [ -n "$alive" ] || break
    sleep 0.1
  done
  # shellcheck disable=SC2086
  kill -KILL $pids 2>/dev/null || true
}

process_tree() {
  local child
  for child in $(ps -o pid= --ppid "$1"); do
    echo "$child"
    process_tree "$child"
  done
}

wine_prefix_ready() { [ -f "$WINEPREFIX/.tamsel-ready" ]; }

# Makes the prefix; says why and fails when Wine cannot.
wine_prefix_make() {
  echo "wine-env: making the private Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: wineboot made no prefix in $WINEPREFIX" >&2
    return 1
  fi
  # Chinese skin faces draw with the installed CJK font.
  local face
  for face in "微软雅黑" "Microsoft YaHei" "宋体" "SimSun"; do
    prefix_reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" || return 1
  done
  for face in "Tahoma" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
    prefix_reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" || return 1
  done
  # The prefix's Desktop links to the host's home: shortcuts must land inside the prefix.
  local d
  for d in "$WINEPREFIX"/drive_c/users/*/Desktop; do
    [ -L "$d" ] && { rm -f "$d"; mkdir -p "$d"; }
  done
  wineserver -k || true
  wineserver -w || true
  touch "$WINEPREFIX/.tamsel-ready"
}

prefix_reg() {
  wine reg "$@" /f >/dev/null 2>&1 && return 0
  echo "wine-env: wine reg $* failed in $WINEPREFIX" >&2
  return 1
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  local pid
  for pid in ${TAMSEL_XVFB_PIDS:-}; do kill "$pid" 2>/dev/null || true; done
  [ -n "${TAMSEL_LANE_DIR:-}" ] && rm -rf "$TAMSEL_LANE_DIR"
  return 0
}

# wine_prefix_link_copy FROM TO: a copy of the prefix FROM at TO whose files are hard links, but for
# the registry files, which Wine rewrites in place. Other tests make and remove files in FROM's
# temporary folder meanwhile: a file gone during the copy fails that attempt, and it is made again.
wine_prefix_link_copy() {
  local from=$1 to=$2 try f
  for try in 1 2 3; do
    rm -rf "$to"
    cp -al "$from" "$to" 2>/dev/null && break
    [ "$try" -lt 3 ] || { echo "wine-env: could not copy the prefix $from to $to" >&2; return 1; }
  done
  for f in "$from"/*.reg "$from/.update-timestamp"; do
    if [ -e "$f" ]; then cp --remove-destination "$f" "$to/"; fi
  done
}
