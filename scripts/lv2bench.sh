#!/usr/bin/env bash
# Times the LV2 bundle with lilv's lv2bench at every Quality: lv2bench runs a
# plug-in at its ports' defaults, so each Quality gets a copy of the bundle
# whose Quality port defaults to it. Each Quality runs several times and the
# fastest run counts (other work on the machine only ever adds time). Prints
# the seconds lv2bench reports for the frames processed, and the real-time
# factor at 44.1 kHz.
#
#   scripts/lv2bench.sh [bundle folder] [block frames] [frames] [runs]
# Defaults: build/default/lib/lv2/Brisendel.lv2, 512-frame blocks, 10 s of audio, 3 runs.
set -euo pipefail
bundle=${1:-build/default/lib/lv2/Brisendel.lv2}
block=${2:-512}
frames=${3:-441000}
runs=${4:-3}
[ -f "$bundle/manifest.ttl" ] || { echo "no LV2 bundle at $bundle" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "Quality  seconds for $frames frames in $block-frame blocks (fastest of $runs)  real time at 44.1 kHz"
for quality in 1 2 3 4 5 6 7 8 9; do
  rm -rf "$work/lv2" && mkdir -p "$work/lv2" && cp -r "$bundle" "$work/lv2/Brisendel.lv2"
  sed -i "/lv2:symbol \"quality\"/,/lv2:default/ s/lv2:default [0-9]* ;/lv2:default $quality ;/" \
    "$work/lv2/Brisendel.lv2/Brisendel.ttl"
  grep -q "lv2:default $quality ;" "$work/lv2/Brisendel.lv2/Brisendel.ttl" ||
    { echo "cannot set the Quality port's default" >&2; exit 1; }
  fastest=
  for ((run = 0; run < runs; ++run)); do
    seconds=$(LV2_PATH=$work/lv2 lv2bench -b "$block" -n "$frames" urn:orlask:brisendel |
      awk '$2 == "urn:orlask:brisendel" {print $1}')
    [ -n "$seconds" ] || { echo "lv2bench gave no time at Quality $quality" >&2; exit 1; }
    fastest=$(awk -v a="${fastest:-$seconds}" -v b="$seconds" 'BEGIN {print (b < a ? b : a)}')
  done
  awk -v q="$quality" -v s="$fastest" -v n="$frames" \
    'BEGIN {printf "%7d  %10.4f  %8.1fx\n", q, s, n / 44100.0 / s}'
done
