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

echo "== Fuzzing the settings reader (bounded)"
bash scripts/fuzz.sh

echo "== The 64-bit Windows programs, their tests under Wine's 64-bit loader"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
ctest --preset win64

if zel_can_run_win32; then
  echo "== The 32-bit Windows programs, their tests under Wine's 32-bit loader"
  cmake --preset win32 -DZEL_WINE_TESTS=ON >/dev/null
  cmake --build --preset win32 -j "$jobs"
  ctest --preset win32
  echo "Windows tests: the 64-bit and the 32-bit build were tested under Wine"
else
  echo "== The 32-bit Windows programs: built, their files checked without running them"
  cmake --preset win32 -DZEL_WINE_TESTS=OFF >/dev/null
  cmake --build --preset win32 -j "$jobs"
  ctest --preset win32
  echo "Windows tests: the 64-bit build was tested under Wine;" \
    "32-bit Windows tests skipped: this machine runs 64-bit code only" \
    "(the 32-bit build was built and its program files checked)"
fi
