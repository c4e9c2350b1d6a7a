#!/usr/bin/env bash
# The run command: builds the Windows program, installs it with its settings
# files and pictures into demo/ (the program folder) and starts it under Wine
# with demo/ as the current folder. Run as root on a fresh machine. It runs
# the 32-bit build where this machine executes 32-bit code, else the 64-bit
# one, and says which.
#
# With a DISPLAY the program runs until the user closes it. Without one it runs
# on a private Xvfb; after a few seconds demo/screenshot.png is taken and the
# program and Xvfb are stopped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo=$root/demo

bash scripts/install-deps.sh
. scripts/wine-x11.sh
zel_pick_build run-demo
cmake --preset "$zel_preset" >/dev/null
cmake --build --preset "$zel_preset" -j "$(nproc)"
cmake --install "build/$zel_preset" --prefix "$demo" >/dev/null
echo "run-demo: installed into $demo"

# A prefix of its own with Wine's X11 driver; the tests' prefix uses the null
# driver, which shows nothing.
zel_wine_prefix "$root/build/$zel_preset/wine-demo" run-demo "$zel_arch"
log=$zel_wine_log
trap zel_stop_display EXIT

if [ -n "${DISPLAY-}" ]; then
  # A window manager draws the frame.
  "$zel_wine" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >>"$log" 2>&1 || true
  echo "run-demo: starting Zelmiku.exe on $DISPLAY; close its window to end"
  cd "$demo"
  status=0
  "$zel_wine" Zelmiku.exe </dev/null || status=$?
  echo "run-demo: Zelmiku.exe ended with status $status"
  exit 0
fi

zel_start_xvfb run-demo
echo "run-demo: starting Zelmiku.exe on Xvfb $DISPLAY"
(cd "$demo" && exec "$zel_wine" Zelmiku.exe </dev/null >>"$log" 2>&1) &
program_pid=$!
if ! zel_wait_window 'Шахматная тактика' "$program_pid" >/dev/null; then
  echo "run-demo: the window did not appear (see $log)" >&2
  exit 1
fi
sleep 3  # let it paint
import -window root "$demo/screenshot.png"
echo "run-demo: screenshot written to $demo/screenshot.png"
