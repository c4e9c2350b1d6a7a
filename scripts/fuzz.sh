#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, replays the saved corpus and runs a
# bounded fuzzing session (FUZZ_SECONDS, default 60), then prints its figures.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
cmake --preset fuzz -DZEL_FUZZ_SECONDS="$seconds" >/dev/null
# Only the fuzz targets: the rest of the tree is built and tested by the other presets.
cmake --build --preset fuzz --target one_value_fuzz
rm -f build/fuzz/fuzz/artifacts/*  # the crash count below is this run's
ctest --test-dir build/fuzz/fuzz --output-on-failure

log=build/fuzz/fuzz/Testing/Temporary/LastTest.log
echo "fuzz figures (one_value_fuzz, ${seconds} s):"
grep -E 'stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log" || true
grep -E '^#[0-9]+[[:space:]]+DONE' "$log" || true
echo "saved inputs: $(ls fuzz/corpus/one_value | wc -l) seeds, $(ls build/fuzz/fuzz/one_value_found | wc -l) found"
echo "crashes: $(find build/fuzz/fuzz/artifacts -type f | wc -l)"
