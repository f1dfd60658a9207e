#!/usr/bin/env bash
# A printed catalog breaks its lines where the preview does: the sample is
# printed with `quillane-cli print` through a CUPS-PDF queue of a private
# scheduler, in several layouts (among them those with variant tables), and
# every line of every page of the PDF that arrives must be a text run the
# preview lays out on that queue's page (`quillane-cli text --printer`): the
# same words, on the same row, within the width they were measured at.
#
# As a check of the check, the print must differ from the preview laid out
# on the A4 fallback page, which is wider than the queue's printable area.
# Where no private scheduler can run, the test is skipped with exit code 77.
#
# usage: print_line_breaks_test.sh QUILLANE-CLI SAMPLE.pk2 WORKDIR [LAYOUT ...]
set -u
CLI=$1
SAMPLE=$2
WORK=$3
shift 3
LAYOUTS=${*:-1 2 3}
HERE=$(cd "$(dirname "$0")" && pwd)
QUEUE=quillane-lines-$$

# shellcheck source=../support/private_cups.sh
. "$HERE/../support/private_cups.sh"
trap cups_stop EXIT
trap 'exit 1' INT TERM

export QT_QPA_PLATFORM=offscreen
rm -rf "$WORK"
mkdir -p "$WORK"
cups_start "$WORK"
# A queue per layout: the queues convert their jobs while the next layout
# prints.
for L in $LAYOUTS; do cups_add_pdf_queue "$QUEUE-$L" "$WORK/spool-$L"; done
echo "private scheduler $CUPS_SOCK with CUPS-PDF queues $QUEUE-{${LAYOUTS// /,}}"

compare() {
  python3 "$HERE/print_lines_compare.py" "$@"
}

job=0
for L in $LAYOUTS; do
  out=$(timeout 300 "$CLI" print "$SAMPLE" --layout "$L" --printer "$QUEUE-$L" 2>&1) ||
    fail "printing layout $L: $out"
  echo "layout $L: $out"
  job=$((job + 1))
  eval "JOB_$L=$job"
  dpi=$(echo "$out" | sed -n 's/.* at \([0-9]*\) dpi$/\1/p')
  [ -n "$dpi" ] || fail "the print command does not say its resolution"
  # The preview's lines and the print's on the queue's page.
  timeout 300 "$CLI" text "$SAMPLE" --layout "$L" --printer "$QUEUE-$L" >"$WORK/preview-$L.tsv" \
    2>"$WORK/text.err" || fail "text --layout $L: $(cat "$WORK/text.err")"
  timeout 300 "$CLI" text "$SAMPLE" --layout "$L" --printer "$QUEUE-$L" --print --dpi "$dpi" \
    >"$WORK/laid-$L.tsv" 2>"$WORK/text.err" || fail "text --layout $L --print: $(cat "$WORK/text.err")"
done

for L in $LAYOUTS; do
  cups_wait_pdf "$QUEUE-$L" "$WORK/spool-$L" "$WORK/written-$L.pdf" || fail "the print of layout $L did not arrive"
  eval "job=\$JOB_$L"
  cups_job_document "$job" "$WORK/printed-$L.pdf" || fail "the scheduler kept no document of layout $L"
  timeout 120 pdftotext -bbox "$WORK/printed-$L.pdf" "$WORK/printed-$L.html" || fail "pdftotext layout $L"
  compare "$WORK/preview-$L.tsv" "$WORK/laid-$L.tsv" "$WORK/printed-$L.html" --printed-pdf "$WORK/printed-$L.pdf" \
    --written "$WORK/written-$L.pdf" || fail "layout $L prints other lines than the preview shows"
done

# The comparison sees a real difference: the preview of the A4 fallback
# page, which is wider than the queue's printable area.
L=${LAYOUTS%% *}
timeout 300 "$CLI" text "$SAMPLE" --layout "$L" >"$WORK/fallback-$L.tsv" || fail "text on the fallback page"
if compare "$WORK/fallback-$L.tsv" "$WORK/laid-$L.tsv" "$WORK/printed-$L.html" >"$WORK/fallback.out"; then
  fail "the print also matches the preview of a wider page: the comparison sees nothing"
fi
echo "the preview of the A4 fallback page differs, as it must: $(grep -m1 "differences of lines" "$WORK/fallback.out")"
echo "PASS: layouts $LAYOUTS print the preview's lines"
