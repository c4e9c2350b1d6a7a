#!/usr/bin/env bash
# The one test command: installs what is missing, builds every configuration and
# runs every test. Run as root from anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

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

echo "== The 32-bit Windows program, its tests under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
ctest --preset win32
