#!/usr/bin/env bash
# Configures and builds into build/ (executables and data files in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
if [ ! -f build/CMakeCache.txt ]; then
  LAUNCHER=()
  # ccache, when present, lets several checkouts share compiled objects.
  command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" "${LAUNCHER[@]}"
fi
cmake --build build -j"$(nproc)"
