#!/bin/bash
# Runs a Windows program under Wine in the build's own prefix; CTest uses it as
# the cross-compiling emulator.
#   wine-run.sh --arch=A --prefix=DIR PROGRAM [ARGS...]   run PROGRAM, exit with its code
#   wine-run.sh --arch=A --prefix=DIR --start             create the prefix, start the session
#   wine-run.sh --arch=A --prefix=DIR --stop              end the session
# A is win32 or win64: the prefix is made for it and programs run under Wine's
# loader of that architecture. The prefix comes on the command line, not from
# the environment, because CTest runs test discovery without the tests'
# environment, and from the test's working directory.
set -euo pipefail
usage="usage: $0 --arch=win32|win64 --prefix=/ABSOLUTE/DIR (--start | --stop | PROGRAM [ARGS...])"

case "${1-}" in
  --arch=win32 | --arch=win64) arch=${1#--arch=}; shift ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
case "${1-}" in
  --prefix=/?*) prefix=${1#--prefix=}; shift ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
[ $# -gt 0 ] || { echo "$0: nothing to run" >&2; exit 2; }

. "$(dirname "$0")/wine-loader.sh"
zel_wine_loader "$arch"
export WINEPREFIX=$prefix WINEDEBUG=${ZEL_WINEDEBUG:--all}
# No Mono/Gecko install dialogs, no menu entries written to the home folder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
log=$prefix.log

# Everything Wine starts in the background (wineserver, services, the desktop
# process explorer.exe) keeps the stderr it was started with. If that is
# CTest's pipe, CTest waits for those processes to exit, up to its timeout.
# So they are only ever started from here, tied to the log file, and without
# the lock descriptor (an inherited copy would hold the lock for good).
detached() { "$@" </dev/null >>"$log" 2>&1 9>&-; }

if [ "$1" = --stop ]; then
  detached wineserver -k || true   # 1: no session was running
  detached wineserver -w || true
  exit 0
fi

mkdir -p "$(dirname "$prefix")"
(
  # Tests may start in parallel: one of them creates the prefix and starts the
  # session, the others wait here.
  flock -w 300 9 || { echo "$0: $prefix.lock is still held" >&2; exit 1; }
  if [ ! -e "$prefix/.zel-ready" ]; then
    echo "wine-run: creating $prefix" >&2
    # No display even on a desktop: wineboot would show a progress window.
    detached env -u DISPLAY -u WAYLAND_DISPLAY timeout 300 "$zel_wine" wineboot -i ||
      { echo "$0: wineboot failed, see $log" >&2; exit 1; }
    # The null display driver gives working windows without any X server.
    detached "$zel_wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
    # The registry reaches the disk when the server exits; -k ends it at once
    # where -w would wait about 5 s for the services to wind down.
    detached wineserver -k || true
    detached wineserver -w || true
    touch "$prefix/.zel-ready"
  fi
  # Exit code 2: a session for this prefix is already running. Otherwise start
  # one, and let a small GUI program start the session's services and the
  # desktop process now, detached, rather than the first test doing it.
  rc=0
  detached wineserver -p30 || rc=$?
  if [ "$rc" = 0 ]; then
    detached "$zel_wine" rundll32 || true
  elif [ "$rc" != 2 ]; then
    echo "$0: wineserver failed ($rc), see $log" >&2
    exit 1
  fi
) 9>"$prefix.lock"

[ "$1" = --start ] && exit 0
# Tests never read input; a terminal as stdin would only make Wine set up a console.
exec "$zel_wine" "$@" </dev/null
