#!/usr/bin/env bash
# Regenerates the bundled sample catalog data/sample (test.pk2 and its
# pictures) with tools/samplegen. The output is reproducible: running this
# twice leaves git with nothing to commit. tests/sample checks that the
# committed files match what the generator writes.
#   scripts/regen-sample.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD" --target quillane-samplegen -j2
# Start from an empty folder so that renamed or dropped pictures do not linger.
rm -rf data/sample
QT_QPA_PLATFORM=offscreen "$BUILD/tools/quillane-samplegen" data/sample
