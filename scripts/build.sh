#!/usr/bin/env bash
# Configures and builds into build/ (executables and data files in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE"
fi
cmake --build build -j"$(nproc)"
