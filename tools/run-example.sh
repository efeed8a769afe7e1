#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job on the example flight:
# loads the record, prints the program's state and writes what the screen shows
# into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh default
mkdir -p out
QT_QPA_PLATFORM=offscreen ./build/quarn-cli run --data-dir out examples/main-job.txt
echo "Outputs in out/:"
ls -1 out
