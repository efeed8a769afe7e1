#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job on the example flight:
# loads the record, prints the program's state and writes what the screen shows
# into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh default
mkdir -p out
# The job defines its scenery group afresh and loads the example fixes.
cp examples/quarn.fix out/
rm -f out/example.lis
QT_QPA_PLATFORM=offscreen ./build/quarn-cli run --data-dir out examples/main-job.txt
echo "Outputs in out/:"
ls -1 out
