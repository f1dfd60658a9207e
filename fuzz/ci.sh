#!/usr/bin/env bash
# The fuzz step of CI: builds every fuzz target (clang 14, sanitizers, in
# build-fuzz/ with only the libraries the targets link) and runs each for
# SECONDS seconds (default 30) on its checked-in seed corpus
# fuzz/corpus/<target>/. New inputs go to a scratch folder, never into the
# repository.
#
# A target fails when it finds anything (crash, leak, timeout, out of
# memory: the input is saved under build-fuzz/ci-findings/<target>/ and
# named in the output) or stops before its time is up (a property that
# fails on every input stops a target after a few runs). Exit status 1 when
# any target failed.
#
# usage: fuzz/ci.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-30}
[ $# -gt 0 ] && shift
ROOT=$PWD
B=$ROOT/build-fuzz
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  for f in fuzz/*_fuzz.cpp; do TARGETS+=("$(basename "$f" .cpp)"); done
fi

# Configure and build exactly as run-all.sh does (0 minutes: build only).
bash fuzz/run-all.sh 0 "${TARGETS[@]}"

max_len() {
  case $1 in
    translate_fuzz) echo 131072 ;;
    options_fuzz) echo 16 ;;
    picture_fuzz) echo 20480 ;;
    *) echo 4096 ;;
  esac
}

failed=0
for t in "${TARGETS[@]}"; do
  seeds=$ROOT/fuzz/corpus/$t
  if [ ! -d "$seeds" ] || [ -z "$(ls -A "$seeds")" ]; then
    echo "fuzz $t: FAILED (no seed corpus in fuzz/corpus/$t)"
    failed=1
    continue
  fi
  findings=$B/ci-findings/$t
  scratch=$B/ci-corpus/$t
  rm -rf "$findings" "$scratch"
  mkdir -p "$findings" "$scratch"
  log=$findings/log.txt
  start=$(date +%s)
  set +e
  "$B/fuzz/$t" -max_total_time="$SECONDS_EACH" -max_len="$(max_len "$t")" -rss_limit_mb=2048 -timeout=25 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$scratch" "$seeds" >"$log" 2>&1
  rc=$?
  set -e
  took=$(($(date +%s) - start))
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  found=$(find "$findings" -maxdepth 1 -type f -regex '.*/\(crash\|leak\|timeout\|oom\|slow-unit\)-.*' | sort)
  if [ "$rc" -ne 0 ] || [ -n "$found" ] || [ "$took" -lt $((SECONDS_EACH - 2)) ]; then
    echo "fuzz $t: FAILED after ${took} s, $execs executions, exit $rc"
    [ -n "$found" ] && echo "$found" | sed 's/^/  input saved: /'
    tail -n 30 "$log" | sed 's/^/  | /'
    failed=1
  else
    echo "fuzz $t: ok, $execs executions in ${took} s, nothing found"
  fi
done
exit $failed
