#!/usr/bin/env bash
# Makes the press profile the PDF exports use when no
# "WebCoatedSWOP2006Grade3.icc" lies beside the program: a CMYK output
# profile for offset printing on coated paper, computed by ArgyllCMS's
# colprof from the free FOGRA39 characterization data that Debian ships in
# icc-profiles-free. The result is committed as data/ship/QuillaneCoatedFOGRA39.icc
# (copied beside the executables by the build);
# rerun this script only to remake it.
#
#   scripts/make-press-profile.sh [OUT.icc]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/data/ship/QuillaneCoatedFOGRA39.icc}"
ti3=/usr/share/color/icc/FOGRA39L.ti3
for f in "$ti3"; do
  [ -r "$f" ] || { echo "make-press-profile: $f missing (packages icc-profiles-free, argyll)" >&2; exit 1; }
done
command -v colprof >/dev/null || { echo "make-press-profile: colprof missing (package argyll)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$ti3" "$work/press.ti3"
# -qm: medium table resolution (a profile of a few hundred kB); -nc: the
# measurement data stay out of the profile; -kr: black ramps up from the
# paper white; -l 300 -L 98: the total and black ink limits of FOGRA39
# printing. (Gamut mapping for the perceptual table, -S sRGB, would be
# nicer but takes colprof far longer; out-of-gamut colours are clipped.)
(cd "$work" && colprof -qm -nc -kr -l 300 -L 98 \
   -D "Quillane Coated FOGRA39 (from FOGRA39L data)" \
   -C "Made with ArgyllCMS colprof from the FOGRA39L characterization data" \
   press >/dev/null)
cp "$work/press.icc" "$out"
echo "make-press-profile: $out ($(stat -c %s "$out") bytes)"
