#!/usr/bin/env bash
# Regenerates the golden sample pages in tests/data/golden after an
# intended change of the drawing. Look at the new PNG files before
# committing them. BUILD selects the build folder (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
cmake --build "$BUILD" --target golden_tests -j2
export QT_QPA_PLATFORM=offscreen
QL_REGEN_GOLDEN=1 "$BUILD/tests/golden_tests"
ls -l tests/data/golden
