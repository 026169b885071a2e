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
    local n
    for n in $(seq 90 130); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      TAMSEL_XVFB_PID=$!
      local i
      for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      if kill -0 "$TAMSEL_XVFB_PID" 2>/dev/null; then export DISPLAY=":$n"; break; fi
    done
    [ -n "${DISPLAY:-}" ] || { echo "wine-env: could not start Xvfb" >&2; return 1; }
    trap wine_env_stop EXIT
  fi
  wine_prefix_ready || wine_prefix_make
  # Bring the wineserver and the desktop up once, before programs start in parallel: the first
  # programs of a session otherwise wait on the desktop's start while others run.
  # (A server still running from a run just before refuses -p: it serves this run as well.)
  wineserver -p30 2>/dev/null || true
  wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 || true
}

wine_prefix_ready() { [ -f "$WINEPREFIX/.tamsel-ready" ]; }

wine_prefix_make() {
  echo "wine-env: making the private Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Chinese skin faces draw with the installed CJK font.
  local face
  for face in "微软雅黑" "Microsoft YaHei" "宋体" "SimSun"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  for face in "Tahoma" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
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

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${TAMSEL_XVFB_PID:-}" ] && kill "$TAMSEL_XVFB_PID" 2>/dev/null || true
}
