#!/usr/bin/env bash
# The run command: builds the Windows program, installs it with its settings
# files and pictures into demo/ (the program folder) and starts it under Wine
# with demo/ as the current folder. Run as root on a fresh machine.
#
# With a DISPLAY the program runs until the user closes it. Without one it runs
# on a private Xvfb; after a few seconds demo/screenshot.png is taken and the
# program and Xvfb are stopped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo=$root/demo

bash scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)"
cmake --install build/win32 --prefix "$demo" >/dev/null
echo "run-demo: installed into $demo"

# A prefix of its own with Wine's X11 driver; the tests' prefix uses the null
# driver, which shows nothing.
export WINEPREFIX=$root/build/win32/wine-demo WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
log=$WINEPREFIX.log
if [ ! -e "$WINEPREFIX/.zel-ready" ]; then
  echo "run-demo: creating the Wine prefix $WINEPREFIX (10-20 s)"
  env -u DISPLAY timeout 300 wineboot -i </dev/null >>"$log" 2>&1
  touch "$WINEPREFIX/.zel-ready"
fi
# A session left running was started for another display (or none): the
# program's windows would go there.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -n "${DISPLAY-}" ]; then
  # A window manager draws the frame.
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >>"$log" 2>&1 || true
  echo "run-demo: starting Zelmiku.exe on $DISPLAY; close its window to end"
  cd "$demo"
  status=0
  wine Zelmiku.exe </dev/null || status=$?
  echo "run-demo: Zelmiku.exe ended with status $status"
  exit 0
fi

# No window manager on Xvfb: Wine draws the caption itself, and closing a
# window does not wait for a manager that is not there.
display=
for n in $(seq 99 -1 10); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "run-demo: no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp </dev/null >>"$log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done
[ -e "/tmp/.X11-unix/X${display#:}" ] || { echo "run-demo: Xvfb did not start" >&2; exit 1; }
export DISPLAY=$display
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$log" 2>&1

echo "run-demo: starting Zelmiku.exe on Xvfb $display"
(cd "$demo" && exec wine Zelmiku.exe </dev/null >>"$log" 2>&1) &
program_pid=$!
shown=
for _ in $(seq 60); do
  if xdotool search --name 'Шахматная тактика' >/dev/null 2>&1; then shown=yes; break; fi
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.5
done
if [ -z "$shown" ]; then
  echo "run-demo: the window did not appear (see $log)" >&2
  exit 1
fi
sleep 3  # let it paint
import -window root "$demo/screenshot.png"
echo "run-demo: screenshot written to $demo/screenshot.png"
