#!/usr/bin/env bash
# The same project and the same command give the same catalog whatever
# printers the machine has: `pages`, `export-pdf --vector` (page count, trim
# box) and `export-html` (page count, picture size) are run once with no
# print server and once with a private CUPS scheduler whose default queue is
# a CUPS-PDF printer (its printable area is smaller than A4), and must agree.
# `pages --printer QUEUE` must then lay out on the queue's page, say so, and
# differ, or the queue would not have been seen at all.
#
# The scheduler is our own (own configuration, spool and socket, reached
# through CUPS_SERVER), so the machine's printers and other tests are never
# touched; it is stopped at the end. Where it cannot run (not root, CUPS or
# CUPS-PDF missing) the test is skipped with exit code 77.
#
# usage: default_printer_test.sh QUILLANE-CLI SAMPLE.pk2 WORKDIR
set -u
CLI=$1
SAMPLE=$2
WORK=$3
QUEUE=quillane-default-$$

# shellcheck source=../support/private_cups.sh
. "$(dirname "$0")/../support/private_cups.sh"
trap cups_stop EXIT
trap 'exit 1' INT TERM

export QT_QPA_PLATFORM=offscreen
rm -rf "$WORK"
mkdir -p "$WORK/none" "$WORK/queue"

cups_start "$WORK"
SOCK=$CUPS_SOCK
cups_add_pdf_queue "$QUEUE" "$WORK/spool"
timeout 30 lpadmin -d "$QUEUE" || fail "lpadmin could not make $QUEUE the default"
timeout 10 lpstat -d | grep -q "$QUEUE" || fail "$QUEUE is not the default destination"
echo "private scheduler $SOCK with the default queue $QUEUE"

# Runs the commands in folder $1 with the print server given in $2.
run_all() {
  local dir=$1 server=$2
  CUPS_SERVER=$server timeout 300 "$CLI" pages "$SAMPLE" --layout 1 >"$dir/pages" 2>"$dir/pages.err" ||
    fail "pages ($dir)"
  CUPS_SERVER=$server timeout 600 "$CLI" export-pdf "$SAMPLE" "$dir/print.pdf" --vector --layout 1 \
    >"$dir/pdf.out" 2>&1 || fail "export-pdf --vector ($dir): $(cat "$dir/pdf.out")"
  CUPS_SERVER=$server timeout 600 "$CLI" export-html "$SAMPLE" "$dir/html" --layout 1 --dpi 30 --no-open \
    >"$dir/html.out" 2>&1 || fail "export-html ($dir): $(cat "$dir/html.out")"
  qpdf --show-npages "$dir/print.pdf" >"$dir/pdf.pages" || fail "$dir/print.pdf is not readable"
  # The trim boxes of every page, as the file states them.
  qpdf --json=2 --json-key=qpdf "$dir/print.pdf" | python3 -c '
import json, sys
sizes = set()
for part in json.load(sys.stdin)["qpdf"]:
    for o in part.values():
        v = o.get("value") if isinstance(o, dict) else None
        if isinstance(v, dict) and v.get("/Type") == "/Page":
            x0, y0, x1, y1 = v["/TrimBox"]
            sizes.add("%.2f x %.2f pt" % (x1 - x0, y1 - y0))
print(" ".join(sorted(sizes)))' >"$dir/trim" || fail "no trim box in $dir/print.pdf"
  ls "$dir/html" | grep -c -E '^catalogpage[0-9]+\.jpg$' >"$dir/html.pages" || true
  python3 - "$dir/html" >"$dir/html.size" <<'PY'
import os, struct, sys
d = sys.argv[1]
sizes = set()
for name in os.listdir(d):
    if not (name.startswith("catalogpage") and name.endswith(".jpg")):
        continue
    data = open(os.path.join(d, name), "rb").read()
    i = 2
    while i < len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            h, w = struct.unpack(">HH", data[i + 5:i + 9])
            sizes.add((w, h))
            break
        i += 2 + length
print(sorted(sizes))
PY
}

run_all "$WORK/none" /nonexistent/cups.sock
run_all "$WORK/queue" "$SOCK"

for f in pages pdf.pages trim html.pages html.size; do
  a=$(cat "$WORK/none/$f") b=$(cat "$WORK/queue/$f")
  echo "$f: without a printer: $a | with $QUEUE as default: $b"
  [ -n "$a" ] || fail "$f is empty"
  [ "$a" = "$b" ] || fail "$f differs with a default printer"
done
[ "$(cat "$WORK/none/trim")" = "595.28 x 841.89 pt" ] ||
  fail "the trim box is not A4: $(cat "$WORK/none/trim")"
[ -s "$WORK/queue/pages.err" ] && fail "pages said something without --printer: $(cat "$WORK/queue/pages.err")"

# The queue's own page is asked for by name, and is another page.
asked=$(timeout 300 "$CLI" pages "$SAMPLE" --layout 1 --printer "$QUEUE" 2>"$WORK/asked.err") ||
  fail "pages --printer $QUEUE: $(cat "$WORK/asked.err")"
echo "pages --printer $QUEUE: $asked; $(cat "$WORK/asked.err")"
grep -q "laid out on the page of printer $QUEUE" "$WORK/asked.err" || fail "pages --printer does not say its page"
[ "$asked" != "$(cat "$WORK/none/pages")" ] || fail "the queue's page gives the A4 page count: the queue was not seen"
if timeout 60 "$CLI" pages "$SAMPLE" --printer no-such-queue >/dev/null 2>"$WORK/nosuch.err"; then
  fail "an unknown printer was accepted"
fi
grep -q "no printer named no-such-queue" "$WORK/nosuch.err" || fail "unknown printer: $(cat "$WORK/nosuch.err")"
echo "PASS"
