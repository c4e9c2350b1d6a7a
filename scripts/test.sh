#!/usr/bin/env bash
# The one test command: installs what is missing, builds every configuration and
# runs every test. Run as root from anywhere.
#
# Both Windows builds are always built. The 64-bit one's tests run under Wine
# everywhere; the 32-bit one's only where this machine can execute 32-bit code
# (some kernels run 64-bit user code only). Where it cannot, the 32-bit
# programs are still checked by reading their files, without running them.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
. cmake/wine-loader.sh

jobs=$(nproc)
echo "== Linux build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux

echo "== Linux with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan

# The Windows tests mostly wait for Wine, and fuzzing keeps one core busy
# for a fixed time: each runs beside a build, which has the processors to
# itself otherwise. Their output is shown when they are done.
logs=$(mktemp -d)
# A stage that fails ends the run; what still runs beside it ends with it.
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$logs"' EXIT
# background NAME COMMAND...: runs it with its output kept; finish NAME waits,
# shows the output and fails if the command failed.
declare -A started
background() {
  local name=$1
  shift
  "$@" >"$logs/$name" 2>&1 &
  started[$name]=$!
}
finish() {
  local status=0
  wait "${started[$1]}" || status=$?
  cat "$logs/$1"
  [ "$status" = 0 ] || { echo "test.sh: $1 failed ($status)" >&2; exit "$status"; }
}

if zel_can_run_win32; then
  win32_tests=ON
else
  win32_tests=OFF
fi

background fuzz bash scripts/fuzz.sh
echo "== The 64-bit Windows programs: build"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
echo "== Fuzzing the readers of settings, positions and the solvers' files (bounded, beside the build)"
finish fuzz

build_win32() {
  cmake --preset win32 -DZEL_WINE_TESTS="$win32_tests" >/dev/null
  cmake --build --preset win32 -j "$jobs"
}
background win32-build build_win32
echo "== The 64-bit Windows programs, their tests under Wine's 64-bit loader"
win64_status=0
ctest --preset win64 || win64_status=$?
echo "== The 32-bit Windows programs: build (beside the 64-bit tests)"
finish win32-build
[ "$win64_status" = 0 ] || { echo "test.sh: the 64-bit Windows tests failed" >&2; exit "$win64_status"; }

if [ "$win32_tests" = ON ]; then
  echo "== The 32-bit Windows programs, their tests under Wine's 32-bit loader"
  ctest --preset win32
  echo "Windows tests: the 64-bit and the 32-bit build were tested under Wine"
else
  echo "== The 32-bit Windows programs: their files checked without running them"
  ctest --preset win32
  echo "Windows tests: the 64-bit build was tested under Wine;" \
    "32-bit Windows tests skipped: this machine runs 64-bit code only" \
    "(the 32-bit build was built and its program files checked)"
fi
