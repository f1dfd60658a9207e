#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled
# sample catalog: dumps it, renders every page of it to out/ as PNG
# files (layout 1, as the preview shows it at 96 dpi), exports it as
# out/test.pdf (300 dpi, CMYK), as the print-ready PDF out/test-print.pdf
# (CMYK, A4 trim, 3 mm bleed) and as the HTML page-turning catalog
# out/html/catalog.htm, and writes its price list as out/pricelist.txt and
# out/pricelist.pdf.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
mkdir -p out
build/bin/quillane-cli dump build/bin/test.pk2 > out/test.json
echo "sample catalog dumped to out/test.json"
LAYOUT=${LAYOUT:-1}
pages=$(build/bin/quillane-cli pages build/bin/test.pk2 --layout "$LAYOUT" 2>/dev/null)
for ((p = 1; p <= pages; p++)); do
  build/bin/quillane-cli render build/bin/test.pk2 --layout "$LAYOUT" --page "$p" \
    -o "$(printf 'out/page-%03d.png' "$p")" > /dev/null 2>&1
done
echo "$pages pages of the sample catalog (layout $LAYOUT) rendered to out/page-001.png ..."
build/bin/quillane-cli export-pdf build/bin/test.pk2 out/test.pdf --layout "$LAYOUT"
echo "sample catalog exported to out/test.pdf"
build/bin/quillane-cli export-pdf build/bin/test.pk2 out/test-print.pdf --vector --layout "$LAYOUT"
echo "sample catalog exported as a print-ready PDF (CMYK, A4 trim, 3 mm bleed) to out/test-print.pdf"
build/bin/quillane-cli price-list build/bin/test.pk2 out/pricelist.txt --format text
build/bin/quillane-cli price-list build/bin/test.pk2 out/pricelist.pdf --format pdf
rm -rf out/html
build/bin/quillane-cli export-html build/bin/test.pk2 out/html --layout "$LAYOUT" --no-open
echo "sample catalog exported as an HTML catalog: out/html/catalog.htm"
