#!/usr/bin/env bash
# The HTML catalog in a real browser: makes the catalogs with quillane-cli
# (the sample in four languages, one with an odd page count, one with
# hostile texts and one with 2,000 products, both imported from CSV),
# installs puppeteer-core from the npm registry into the build folder and
# drives Debian's chromium over them from file:// and from a local web
# server.
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
cp "$HERE/package.json" "$HERE/flipbook.test.mjs" "$HERE/catalogs.mjs" "$WORK/"
WANT=$(sed -n 's/.*"puppeteer-core": "\(.*\)".*/\1/p' "$HERE/package.json")
HAVE=$(sed -n 's/^  "version": "\(.*\)".*/\1/p' "$WORK/node_modules/puppeteer-core/package.json" 2>/dev/null || true)
if [ "$WANT" != "$HAVE" ]; then
  (cd "$WORK" && npm install --no-audit --no-fund --loglevel=error >npm.log 2>&1) || {
    cat "$WORK/npm.log"
    echo "FAILED: npm install of puppeteer-core"
    exit 1
  }
fi
CLI() { QT_QPA_PLATFORM=offscreen "$BIN/quillane-cli" "$@"; }
PAGES() { CLI pages "$1" | grep -o '[0-9]\+' | head -1; }
cd "$WORK"
rm -rf catalog catalog-* projects
mkdir -p projects
node catalogs.mjs projects 2000
CLI export-html "$BIN/test.pk2" catalog --lang 0 --no-open --with-pdf
for l in 1:en 2:fr 3:nl; do
  CLI export-html "$BIN/test.pk2" "catalog-${l#*:}" --lang "${l%%:*}" --dpi 30 --no-open
done
CLI import-csv "$BIN/test.pk2" projects/evil.csv projects/evil.pk2 --with-categories
CLI export-html projects/evil.pk2 catalog-evil --lang 0 --no-open
# An odd page count: the sample with as many products of big.csv as it takes.
n=0
cp "$BIN/test.pk2" projects/odd.pk2
while [ $(( $(PAGES projects/odd.pk2) % 2 )) -eq 0 ]; do
  n=$((n + 3))
  head -n "$n" projects/big.csv >projects/some.csv
  CLI import-csv "$BIN/test.pk2" projects/some.csv projects/odd.pk2 --with-categories >/dev/null
done
CLI export-html projects/odd.pk2 catalog-odd --lang 0 --dpi 30 --no-open
CLI import-csv "$BIN/test.pk2" projects/big.csv projects/big.pk2 --with-categories
CLI export-html projects/big.pk2 catalog-big --lang 0 --dpi 100 --no-open
exec node flipbook.test.mjs "$CHROME" "$WORK" "$WORK"
