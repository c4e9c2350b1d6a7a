# Sourced by run-demo.sh and screenshots.sh: the Windows build this machine
# can run, a Wine prefix that draws through X11 (the tests' prefixes use the
# null driver, which shows nothing), and a private Xvfb display without a
# window manager. Programs are started with "$zel_wine PROGRAM".
. "$(dirname "${BASH_SOURCE[0]}")/../cmake/wine-loader.sh"

# zel_pick_build TAG: sets zel_preset and zel_arch to the 32-bit build where
# this machine executes 32-bit code, else to the 64-bit one, and says which.
zel_pick_build() {
  if zel_can_run_win32; then
    zel_preset=win32 zel_arch=win32
    echo "$1: using the 32-bit Windows build (this machine runs 32-bit code)"
  else
    zel_preset=win64 zel_arch=win64
    echo "$1: using the 64-bit Windows build (this machine runs 64-bit code only)"
  fi
}

# zel_wine_prefix DIR TAG ARCH: uses DIR as the Wine prefix of ARCH (win32 or
# win64), created on first use; TAG starts the messages. Wine's output goes
# to DIR.log.
zel_wine_prefix() {
  zel_wine_loader "$3"
  export WINEPREFIX=$1 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  zel_wine_log=$WINEPREFIX.log
  if [ ! -e "$WINEPREFIX/.zel-ready" ]; then
    echo "$2: creating the Wine prefix $WINEPREFIX (10-20 s)"
    env -u DISPLAY timeout 300 "$zel_wine" wineboot -i </dev/null >>"$zel_wine_log" 2>&1
    touch "$WINEPREFIX/.zel-ready"
  fi
  # A session left running was started for another display (or none): the
  # program's windows would go there.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# zel_start_xvfb TAG: starts Xvfb on a free display number and exports
# DISPLAY; zel_stop_display ends it and the Wine session.
zel_xvfb_pid=
zel_start_xvfb() {
  local display= n
  for n in $(seq 99 -1 10); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
  done
  [ -n "$display" ] || { echo "$1: no free X display number" >&2; return 1; }
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp </dev/null >>"$zel_wine_log" 2>&1 &
  zel_xvfb_pid=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
  [ -e "/tmp/.X11-unix/X${display#:}" ] || { echo "$1: Xvfb did not start" >&2; return 1; }
  export DISPLAY=$display
  # No window manager: Wine draws the caption itself, and closing a window
  # does not wait for a manager that is not there.
  "$zel_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$zel_wine_log" 2>&1
}

zel_stop_display() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$zel_xvfb_pid" ]; then
    kill "$zel_xvfb_pid" 2>/dev/null || true
    wait "$zel_xvfb_pid" 2>/dev/null || true
  fi
}

# zel_wait_window TITLE PID: prints the X window id of the program's window
# once it is shown (within 30 s), or fails if PID ends first.
zel_wait_window() {
  local id
  for _ in $(seq 60); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}
