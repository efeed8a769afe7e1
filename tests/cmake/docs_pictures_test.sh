#!/usr/bin/env bash
# The pictures under docs/ are what their scripts make today: each docs/*/*.quarn runs
# in a scratch copy of the repository's examples and docs, and every picture it dumps
# must equal the one in the repository, byte for byte. A change that moves a pixel of a
# documented chart shows here until the pictures are made again.
# Usage: docs_pictures_test.sh QUARN_CLI SOURCE_DIR
set -euo pipefail
cli=$(realpath "$1") source=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/repo/out"
cp -r "$source/examples" "$source/docs" "$scratch/repo/"
cp "$source/examples/quarn.fix" "$scratch/repo/out/"
# Scripts over the shared real-world files read them beside the repository.
if [ -d "$source/../shared/testdata" ]; then ln -s "$(cd "$source/.." && pwd)/shared" "$scratch/shared"; fi

cd "$scratch/repo"
# The summary screens print the record's full path, which names the checkout's folder.
SHOWS_THE_PATH='^docs/adsb/(summary|takeoff-landing)\.png$'
failed=0
for script in docs/*/*.quarn; do
  if grep -q '\.\./shared/' "$script" && [ ! -e ../shared ]; then
    echo "skipped $script: ../shared/testdata is absent"
    continue
  fi
  if ! "$cli" run --data-dir out "$script" > out/transcript.txt 2>&1; then
    echo "$script failed:"
    cat out/transcript.txt
    failed=1
    continue
  fi
  for picture in $(awk '$1 == "dump" {print $2}' "$script" | grep -Ev "$SHOWS_THE_PATH"); do
    if ! cmp -s "$picture" "$source/$picture"; then
      echo "$picture differs from what $script makes now; run it again from the repository root"
      failed=1
    fi
  done
done
exit $failed
