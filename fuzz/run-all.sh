#!/usr/bin/env bash
# Builds every fuzz target (clang 14, sanitizers, build-fuzz/) and runs each in
# turn for MINUTES minutes on its own corpus under build-fuzz/corpus/<target>,
# seeded with the sample's files and the seeds the targets write. Prints one
# line per target: executions, corpus size and findings (crash-*, leak-*,
# timeout-*, oom-* files left in build-fuzz/findings/<target>).
#
# usage: fuzz/run-all.sh MINUTES [TARGET...]   (MINUTES 0 only builds)
set -euo pipefail
cd "$(dirname "$0")/.."
MINUTES=${1:?usage: fuzz/run-all.sh MINUTES [TARGET...]}
shift
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(projectfile_fuzz oldprojectfile_fuzz csv_fuzz translate_fuzz options_fuzz template_fuzz picture_fuzz)
ROOT=$PWD
B=$ROOT/build-fuzz
JOBS=${JOBS:-2}

if [ ! -f "$B/CMakeCache.txt" ]; then
  LAUNCHER=()
  command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$B" -G Ninja "${LAUNCHER[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQL_BUILD_FUZZ=ON \
    -DQL_BUILD_UI=OFF -DQL_BUILD_TESTS=OFF -DQL_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" >/dev/null
fi
cmake --build "$B" --target "${TARGETS[@]}" -j"$JOBS"
[ "$MINUTES" = 0 ] && exit 0  # 0: build only

# Sample files: the generated sample (translate.dat, pictures, test.pk2) of
# the normal build when present.
SAMPLE=$ROOT/build/bin
[ -f "$SAMPLE/translate.dat" ] || SAMPLE=$B/bin

max_len() {
  case $1 in
    translate_fuzz) echo 131072 ;;   # the shipped table is about 110 KB
    options_fuzz) echo 16 ;;
    template_fuzz) echo 4096 ;;
    picture_fuzz) echo 20480 ;;      # the sample's pictures are 4-18 KB
    *) echo 4096 ;;
  esac
}

seed() {
  local t=$1 corpus=$2
  local tmp; tmp=$(mktemp -d)
  case $t in
    translate_fuzz) QL_FUZZ_SEEDS=$tmp QL_FUZZ_TRANSLATE_DAT=$SAMPLE/translate.dat "$B/fuzz/$t" -runs=0 "$tmp" >/dev/null 2>&1 || true ;;
    picture_fuzz)
      QL_FUZZ_SEEDS=$tmp "$B/fuzz/$t" -runs=0 "$tmp" >/dev/null 2>&1 || true
      for f in "$SAMPLE"/*.jpg "$SAMPLE"/*.png "$SAMPLE"/*.gif; do
        [ -f "$f" ] && [ "$(stat -c %s "$f")" -le 20480 ] && cp "$f" "$tmp/"
      done ;;
    csv_fuzz) printf 'Name;Beschreibung;bild.jpg;1;2;3\r\n' >"$tmp/seed.csv" ;;
    *) QL_FUZZ_SEEDS=$tmp "$B/fuzz/$t" -runs=0 "$tmp" >/dev/null 2>&1 || true ;;
  esac
  [ "$t" = projectfile_fuzz ] && [ -f "$SAMPLE/test.pk2" ] && cp "$SAMPLE/test.pk2" "$tmp/"
  # The seed corpus CI runs on (fuzz/corpus/<target>, checked in).
  [ -d "$ROOT/fuzz/corpus/$t" ] && cp "$ROOT/fuzz/corpus/$t"/* "$tmp/" 2>/dev/null || true
  cp -n "$tmp"/* "$corpus"/ 2>/dev/null || true
  rm -rf "$tmp"
}

for t in "${TARGETS[@]}"; do
  corpus=$B/corpus/$t
  findings=$B/findings/$t
  mkdir -p "$corpus" "$findings"
  seed "$t" "$corpus"
  log=$B/findings/$t.log
  set +e
  (cd "$findings" && "$B/fuzz/$t" -max_total_time=$((MINUTES * 60)) -max_len="$(max_len "$t")" \
     -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 "$corpus" >"$log" 2>&1)
  rc=$?
  set -e
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  n=$(ls "$corpus" | wc -l)
  crashes=$(ls "$findings" | grep -c -E '^(crash|leak|timeout|oom|slow-unit)-' || true)
  echo "$t: executions=$execs corpus=$n findings=$crashes exit=$rc log=$log"
done
