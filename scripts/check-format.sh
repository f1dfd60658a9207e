#!/usr/bin/env bash
# Lists the C++ files that .clang-format would change and fails when there
# are any. Without arguments: every tracked .cpp/.h under src, app, tests,
# bench, fuzz and tools. With arguments: only those files (for a hook, e.g.
# `scripts/check-format.sh $(git diff --name-only main -- '*.cpp' '*.h')`).
# CLANG_FORMAT selects the program (default clang-format, Debian 12: 14).
set -euo pipefail
cd "$(dirname "$0")/.."
CLANG_FORMAT=${CLANG_FORMAT:-clang-format}
if ! command -v "$CLANG_FORMAT" >/dev/null; then
  echo "check-format: $CLANG_FORMAT not found (Debian package clang-format)" >&2
  exit 2
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'app/*.cpp' 'app/*.h' 'tests/*.cpp' 'tests/*.h' \
                                         'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' 'tools/*.cpp' 'tools/*.h')
fi
bad=0
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  if ! "$CLANG_FORMAT" --style=file --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "$f"
    bad=$((bad + 1))
  fi
done
if [ "$bad" -gt 0 ]; then
  echo "check-format: $bad of ${#files[@]} files differ from .clang-format (fix: $CLANG_FORMAT -i FILE...)" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files match .clang-format"
