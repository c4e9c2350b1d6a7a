#!/usr/bin/env bash
# Benchmarks of the solver window under Wine, on a private Xvfb so that
# painting is real: the start to a painted board against a bare Win32
# window's, the answer to a clicked move, and the statistics window opened
# after a year of daily practice. Uses the build this machine can
# run (as the demo does). Prints the figures; asserts nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

. scripts/wine-x11.sh
zel_pick_build bench-solver
build=build/$zel_preset
cmake --preset "$zel_preset" >/dev/null
cmake --build --preset "$zel_preset" -j "$(nproc)" --target Kombiru BareWindow solver_bench statistics_bench zel_problem_data

folder=$(mktemp -d)
cp "$build/solvers/Kombiru.exe" "$build/bench/BareWindow.exe" "$build/data/Zadachi.dat" "$folder/"
zel_wine_prefix "$root/$build/wine-bench" bench-solver "$zel_arch"
trap 'zel_stop_display; rm -rf "$folder"' EXIT
zel_start_xvfb bench-solver
"$zel_wine" "$build/bench/solver_bench.exe" "Z:$folder" </dev/null 2>>"$zel_wine_log"
"$zel_wine" "$build/bench/statistics_bench.exe" "Z:$folder" </dev/null 2>>"$zel_wine_log"
