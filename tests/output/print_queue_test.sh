#!/usr/bin/env bash
# End-to-end printing through a real CUPS queue: a CUPS-PDF queue of its own
# receives the sample catalog printed whole and page 3 printed alone; the
# PDFs that arrive must have the catalog's page count and one page, and page
# 3 alone must look exactly like page 3 of the whole print.
#
# Where no queue can be set up (not root, CUPS or CUPS-PDF missing and not
# installable, the scheduler does not start) the test says why and prints
# through Qt's own PDF output instead. It stops a scheduler it started,
# removes its queue and never waits without a time limit.
#
# usage: print_queue_test.sh QUILLANE-CLI SAMPLE.pk2 WORKDIR
set -u
CLI=$1
SAMPLE=$2
WORK=$3
QUEUE=quillane-test-$$
CONF=/etc/cups/cups-pdf-$QUEUE.conf
STARTED_PID=""
QUEUE_ADDED=0

rm -rf "$WORK"
mkdir -p "$WORK/spool"
chmod 0777 "$WORK/spool"
export QT_QPA_PLATFORM=offscreen

fail() {
  echo "FAIL: $*"
  exit 1
}
# shellcheck source=../support/private_cups.sh
. "$(dirname "$0")/../support/private_cups.sh"

cleanup() {
  if [ "$QUEUE_ADDED" = 1 ]; then
    timeout 20 cancel -a "$QUEUE" >/dev/null 2>&1
    timeout 20 lpadmin -x "$QUEUE" >/dev/null 2>&1
  fi
  rm -f "$CONF"
  if [ -n "$STARTED_PID" ]; then
    kill "$STARTED_PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$STARTED_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$STARTED_PID" 2>/dev/null
    wait "$STARTED_PID" 2>/dev/null
    echo "stopped the CUPS scheduler this test started (pid $STARTED_PID)"
  fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# One print-queue test at a time on this machine (several checkouts share
# the scheduler).
exec 9>/tmp/quillane-print-queue.lock
timeout 300 flock 9 || fail "another print-queue test holds /tmp/quillane-print-queue.lock"


setup_queue() {
  if [ "${QL_NO_PRINT_QUEUE:-}" = 1 ]; then
    echo "QL_NO_PRINT_QUEUE=1: no queue asked for"
    return 1
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "not root: cannot add a print queue"
    return 1
  fi
  if ! command -v cupsd >/dev/null || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
    echo "installing cups and printer-driver-cups-pdf"
    DEBIAN_FRONTEND=noninteractive timeout 300 apt-get install -y -qq --no-install-recommends \
      cups printer-driver-cups-pdf >/dev/null 2>&1 || { echo "cups or cups-pdf cannot be installed"; return 1; }
  fi
  if ! timeout 10 lpstat -r 2>/dev/null | grep -q "is running"; then
    cupsd -f >"$WORK/cupsd.log" 2>&1 &
    STARTED_PID=$!
    for _ in $(seq 100); do
      timeout 5 lpstat -r 2>/dev/null | grep -q "is running" && break
      kill -0 "$STARTED_PID" 2>/dev/null || { STARTED_PID=""; echo "cupsd did not start"; return 1; }
      sleep 0.2
    done
    timeout 5 lpstat -r 2>/dev/null | grep -q "is running" || { echo "cupsd does not answer"; return 1; }
    echo "started the CUPS scheduler (pid $STARTED_PID)"
  fi
  # The queue's own CUPS-PDF configuration: its PDFs land in our folder.
  printf 'Out %s\nAnonDirName %s\nLabel 1\nUserUMask 0000\n' "$WORK/spool" "$WORK/spool" >"$CONF" ||
    { echo "cannot write $CONF"; return 1; }
  local ppd
  ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/CUPS-PDF*.ppd 2>/dev/null | head -1)
  [ -n "$ppd" ] || { echo "no CUPS-PDF PPD"; return 1; }
  local model
  model=$(timeout 30 lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt.ppd/ {print $1; exit}')
  if [ -n "$model" ]; then
    timeout 30 lpadmin -p "$QUEUE" -v "cups-pdf:/$QUEUE" -m "$model" -E || { echo "lpadmin failed"; return 1; }
  else
    timeout 30 lpadmin -p "$QUEUE" -v "cups-pdf:/$QUEUE" -P "$ppd" -E || { echo "lpadmin failed"; return 1; }
  fi
  QUEUE_ADDED=1
  timeout 10 lpstat -p "$QUEUE" >/dev/null 2>&1 || { echo "the queue $QUEUE does not show"; return 1; }
  echo "added the CUPS-PDF queue $QUEUE"
  return 0
}

# Waits for the next PDF in the spool folder and moves it to $1.
wait_pdf() {
  cups_wait_pdf "$QUEUE" "$WORK/spool" "$1"
}

# The catalog's page count is the one laid out for the printer's page (a
# queue's printable area differs from the fallback page of `pages`): the
# print command reports it as "N of M pages printed".
print_job() {
  local out
  out=$(timeout 300 "$CLI" print "$SAMPLE" "$@" --layout 1) || return 1
  echo "$out"
  printed=$(echo "$out" | awk '/pages printed/ {print $1}')
  catalog=$(echo "$out" | awk '/pages printed/ {print $3}')
}

VIA=queue
if setup_queue; then
  print_job --printer "$QUEUE" || fail "printing the whole catalog failed"
  PAGES=$catalog
  wait_pdf "$WORK/whole.pdf" || fail "the whole print did not arrive"
  print_job --printer "$QUEUE" --page 3 || fail "printing page 3 failed"
  wait_pdf "$WORK/page3.pdf" || fail "page 3 did not arrive"
else
  echo "NOTE: no print queue could be set up; falling back to Qt's PDF printer output"
  VIA=qt-pdf
  print_job --to-pdf "$WORK/whole.pdf" || fail "printing the whole catalog failed"
  PAGES=$catalog
  print_job --to-pdf "$WORK/page3.pdf" --page 3 || fail "printing page 3 failed"
fi
[ "$printed" = 1 ] || fail "the one-page print reports $printed sheets"

n_whole=$(qpdf --show-npages "$WORK/whole.pdf") || fail "whole.pdf is not a readable PDF"
n_one=$(qpdf --show-npages "$WORK/page3.pdf") || fail "page3.pdf is not a readable PDF"
[ "$n_whole" = "$PAGES" ] || fail "the whole print has $n_whole pages, the catalog $PAGES"
[ "$n_one" = 1 ] || fail "the one-page print has $n_one pages"

raster() {
  timeout 120 pdftoppm -r 60 -f "$2" -l "$2" -singlefile "$1" "$3" 2>/dev/null || fail "pdftoppm $1 page $2"
}
raster "$WORK/whole.pdf" 2 "$WORK/whole-p2"
raster "$WORK/whole.pdf" 3 "$WORK/whole-p3"
raster "$WORK/page3.pdf" 1 "$WORK/alone-p3"
# The same sheet: the print server converts each job's fonts on its own, so
# a few glyph edges may differ; page 3 and page 2 differ in far more.
QL_TEST_DIR="$(cd "$(dirname "$0")" && pwd)" python3 - "$WORK/whole-p3.ppm" "$WORK/alone-p3.ppm" "$WORK/whole-p2.ppm" <<'PY' || fail "page 3 alone differs from page 3 of the whole print"
import os, sys
sys.path.insert(0, os.environ["QL_TEST_DIR"])
from print_lines_compare import read_pgm as read

def differing(a, b):
    (w, h, pa), (w2, h2, pb) = a, b
    if (w, h) != (w2, h2):
        return w * h
    return sum(1 for i in range(0, len(pa), 3)
               if max(abs(pa[i] - pb[i]), abs(pa[i + 1] - pb[i + 1]), abs(pa[i + 2] - pb[i + 2])) > 25)

whole3, alone3, whole2 = (read(p) for p in sys.argv[1:4])
pixels = whole3[0] * whole3[1]
same = differing(whole3, alone3)
other = differing(whole2, alone3)
dark = sum(1 for b in alone3[2][::3] if b < 128)
print(f"page 3: {same} of {pixels} pixels differ from page 3 of the whole print, {other} from page 2; {dark} dark")
sys.exit(0 if same <= pixels // 1000 and other > pixels // 100 and dark > 500 else 1)
PY
echo "PASS ($VIA): whole print $n_whole pages, page 3 alone equals page 3 of the whole print"
