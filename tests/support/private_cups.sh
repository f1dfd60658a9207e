# A private CUPS scheduler for the print tests, sourced by their scripts:
# its own configuration, spool and socket (reached through CUPS_SERVER), so
# the machine's printers and other tests are never touched.
#
#   cups_start DIR       starts it under DIR and exports CUPS_SERVER; exits
#                        the test with 77 (skipped) where it cannot run: not
#                        root, CUPS or CUPS-PDF missing, cupsd does not start
#   cups_add_pdf_queue NAME OUTDIR [--pdf-input]
#                        adds a CUPS-PDF queue whose PDFs land in OUTDIR;
#                        with --pdf-input the queue hands the job to CUPS-PDF
#                        as PDF, not converted to PostScript first, so the
#                        PDF that arrives keeps the text of its words (through
#                        PostScript they arrive as glyphs without text)
#   cups_wait_pdf NAME OUTDIR TARGET
#                        waits (at most 120 s) until the queue is idle and a
#                        complete PDF lies in OUTDIR, and moves it to TARGET
#   cups_job_document ID TARGET
#                        copies the document of job ID (the scheduler counts
#                        its jobs from 1), as the scheduler received it from
#                        the program, to TARGET
#   cups_stop            removes the queues' files and stops the scheduler
#                        (the scripts call it from their EXIT trap)
#
# The script defines fail() and skip() unless the test has its own.

declare -F fail >/dev/null || fail() {
  echo "FAIL: $*"
  exit 1
}
declare -F skip >/dev/null || skip() {
  echo "SKIP: $*"
  exit 77
}

CUPS_PID=""
CUPS_SOCK=""
CUPS_CONFS=()

cups_start() {
  local c=$1/cups
  CUPS_DIR=$c
  [ "$(id -u)" -eq 0 ] || skip "not root: cupsd cannot run its backends"
  command -v cupsd >/dev/null && command -v lpadmin >/dev/null || skip "CUPS is not installed"
  CUPS_PPD=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/CUPS-PDF*.ppd 2>/dev/null | head -1)
  [ -n "$CUPS_PPD" ] && [ -x /usr/lib/cups/backend/cups-pdf ] || skip "CUPS-PDF is not installed"
  mkdir -p "$c"/{conf,spool,cache,state,tmp,log}
  # The filters run as the scheduler's user (lp) and write their files here.
  chmod 1777 "$c/tmp"
  # A socket path must be short; the work folder may be deep.
  CUPS_SOCK=$(mktemp -u /tmp/ql-cups-XXXXXX.sock)
  cat >"$c/conf/cupsd.conf" <<CONF
Listen $CUPS_SOCK
Browsing No
LogLevel ${CUPS_LOGLEVEL:-warn}
DefaultAuthType None
PreserveJobFiles Yes
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
  cat >"$c/conf/cups-files.conf" <<CONF
ServerRoot $c/conf
RequestRoot $c/spool
CacheDir $c/cache
StateDir $c/state
TempDir $c/tmp
ErrorLog $c/log/error_log
AccessLog $c/log/access_log
PageLog $c/log/page_log
CONF
  cupsd -f -c "$c/conf/cupsd.conf" -s "$c/conf/cups-files.conf" >"$c/log/cupsd.out" 2>&1 &
  CUPS_PID=$!
  CUPS_LOG=$c/log
  for _ in $(seq 100); do
    [ -S "$CUPS_SOCK" ] && CUPS_SERVER=$CUPS_SOCK timeout 5 lpstat -r 2>/dev/null | grep -q "is running" && break
    kill -0 "$CUPS_PID" 2>/dev/null || {
      CUPS_PID=""
      skip "cupsd did not start: $(tail -3 "$c/log/cupsd.out")"
    }
    sleep 0.1
  done
  export CUPS_SERVER=$CUPS_SOCK
  timeout 5 lpstat -r 2>/dev/null | grep -q "is running" || skip "cupsd does not answer on $CUPS_SOCK"
}

cups_add_pdf_queue() {
  local name=$1 out=$2
  mkdir -p "$out"
  chmod 0777 "$out"
  # CUPS-PDF reads the configuration named after the queue's device.
  local conf=/etc/cups/cups-pdf-$name.conf
  printf 'Out %s\nAnonDirName %s\nLabel 1\nUserUMask 0000\nLog %s\n' "$out" "$out" "$CUPS_LOG" >"$conf" ||
    fail "cannot write $conf"
  CUPS_CONFS+=("$conf")
  local ppd=$CUPS_PPD
  if [ "${3:-}" = --pdf-input ]; then
    ppd=$out.ppd
    { cat "$CUPS_PPD"; printf '*cupsFilter: "application/vnd.cups-pdf 0 -"\n'; } >"$ppd"
  fi
  timeout 30 lpadmin -p "$name" -v "cups-pdf:/$name" -P "$ppd" -E 2>/dev/null || fail "lpadmin could not add $name"
}

cups_wait_pdf() {
  local name=$1 out=$2 target=$3 f="" size=-1 same=0 now end=$((SECONDS + 120))
  while [ $SECONDS -lt $end ]; do
    # A job the scheduler stopped (a filter failed) never finishes.
    if [ -n "${CUPS_LOG:-}" ] && grep -q "Job stopped" "$CUPS_LOG/error_log" 2>/dev/null; then
      echo "the scheduler stopped the job:"
      grep -E "Job stopped|Unable|rror|denied" "$CUPS_LOG/error_log" | head -5
      return 1
    fi
    f=$(ls "$out"/*.pdf 2>/dev/null | head -1)
    if [ -n "$f" ] && [ -z "$(timeout 5 lpstat -o "$name" 2>/dev/null)" ]; then
      now=$(stat -c %s "$f")
      if [ "$now" = "$size" ] && [ "$now" -gt 0 ]; then
        same=$((same + 1))
        [ $same -ge 3 ] && { mv "$f" "$target"; return 0; }
      else
        same=0
        size=$now
      fi
    fi
    sleep 0.2
  done
  echo "no PDF arrived within 120 s; job state:"
  timeout 5 lpstat -l -o "$name" 2>&1 | head -5
  tail -5 "${CUPS_LOG:-/var/log/cups}/error_log" 2>/dev/null
  return 1
}

cups_job_document() {
  cp "$CUPS_DIR/spool/$(printf 'd%05d-001' "$1")" "$2"
}

cups_stop() {
  local conf
  for conf in "${CUPS_CONFS[@]}"; do rm -f "$conf"; done
  CUPS_CONFS=()
  if [ -n "$CUPS_PID" ]; then
    kill "$CUPS_PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$CUPS_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$CUPS_PID" 2>/dev/null
    wait "$CUPS_PID" 2>/dev/null
    CUPS_PID=""
  fi
  [ -n "$CUPS_SOCK" ] && rm -f "$CUPS_SOCK"
}
