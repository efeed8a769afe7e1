#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 60), seeded with
# the example data and test fixtures. Needs the "fuzz" preset built.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
for target in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  case "$name" in
    fuzz_record | fuzz_record_file) cp examples/*.dat "$corpus"/ 2>/dev/null || true ;;
    fuzz_script) cp examples/*.txt docs/graphs/*.quarn "$corpus"/ 2>/dev/null || true ;;
    fuzz_bgl)
      # The example scenery, and the real files of the shared test data where present.
      find examples tests/data ../shared/testdata/bgl-real -iname '*.bgl' -size -1024k \
        -exec cp {} "$corpus"/ \; 2>/dev/null || true ;;
    fuzz_scenery_text) cp examples/quarn.fix "$corpus"/ 2>/dev/null || true ;;
    # The registry: a file of every format it tells apart.
    fuzz_flight)
      find tests/data/gpx tests/data/kml tests/data/igc tests/data/csv tests/data/json \
        examples -maxdepth 1 -type f -size -1024k -exec cp {} "$corpus"/ \; 2>/dev/null || true ;;
  esac
  # A reader's target fuzz_X is seeded with the test files of tests/data/X/.
  seeds=tests/data/${name#fuzz_}
  case "$name" in
    fuzz_delimited) seeds=tests/data/csv ;;
    fuzz_json_track) seeds=tests/data/json ;;
  esac
  [ -d "$seeds" ] && find "$seeds" -type f -size -1024k -exec cp {} "$corpus"/ \; 2>/dev/null || true
  echo "-- $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=0 "$corpus" 2>&1 | tail -2
  rm -rf "$corpus"
done
