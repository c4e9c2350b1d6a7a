#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, replays their saved corpora and runs
# a bounded fuzzing session (FUZZ_SECONDS in all, default 60, shared equally by
# the targets), then prints each target's figures.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
targets=(one_value fen solver_files)
cmake --preset fuzz -DZEL_FUZZ_SECONDS="$seconds" >/dev/null
# Only the fuzz targets: the rest of the tree is built and tested by the other presets.
cmake --build --preset fuzz --target "${targets[@]/%/_fuzz}"
rm -f build/fuzz/fuzz/artifacts/*  # the crash count below is this run's

log=build/fuzz/fuzz/Testing/Temporary/LastTest.log
status=0
for target in "${targets[@]}"; do
  ctest --test-dir build/fuzz/fuzz --output-on-failure -R "^${target}_" || status=1
  echo "fuzz figures (${target}_fuzz, $((seconds / ${#targets[@]})) s):"
  grep -E 'stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log" || true
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" || true
  echo "saved inputs: $(ls "fuzz/corpus/$target" | wc -l) seeds, $(ls "build/fuzz/fuzz/${target}_found" | wc -l) found"
done
echo "crashes: $(find build/fuzz/fuzz/artifacts -type f | wc -l)"
exit $status
