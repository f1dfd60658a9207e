#!/usr/bin/env bash
# Redraws the HTML catalog's navigation pictures into data/ship.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target quillane-navgen
build/tools/quillane-navgen data/ship
