#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled
# sample catalog.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
mkdir -p out
build/bin/quillane-cli dump build/bin/test.pk2 > out/test.json
echo "sample catalog dumped to out/test.json"
