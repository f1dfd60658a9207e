#!/usr/bin/env bash
# The HTML catalog in a real browser: exports the sample catalog with
# quillane-cli, installs puppeteer-core from the npm registry into the build
# folder and drives Debian's chromium over catalog.htm opened from file://
# and from a local web server.
#
# usage: run.sh BIN_DIR WORK_DIR   (exit 77: skipped, with the reason)
set -euo pipefail
BIN=$1
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
CHROME=${CHROMIUM:-$(command -v chromium || true)}
if [ -z "$CHROME" ] || ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "SKIPPED: chromium, node or npm is not installed (scripts/setup.sh installs them)"
  exit 77
fi
mkdir -p "$WORK"
cp "$HERE/package.json" "$HERE/flipbook.test.mjs" "$WORK/"
WANT=$(sed -n 's/.*"puppeteer-core": "\(.*\)".*/\1/p' "$HERE/package.json")
HAVE=$(sed -n 's/^  "version": "\(.*\)".*/\1/p' "$WORK/node_modules/puppeteer-core/package.json" 2>/dev/null || true)
if [ "$WANT" != "$HAVE" ]; then
  (cd "$WORK" && npm install --no-audit --no-fund --loglevel=error >npm.log 2>&1) || {
    cat "$WORK/npm.log"
    echo "FAILED: npm install of puppeteer-core"
    exit 1
  }
fi
rm -rf "$WORK/catalog"
QT_QPA_PLATFORM=offscreen "$BIN/quillane-cli" export-html "$BIN/test.pk2" "$WORK/catalog" --lang 0 --no-open
cd "$WORK"
exec node flipbook.test.mjs "$CHROME" "$WORK/catalog" "$WORK"
