#!/usr/bin/env bash
# Builds the fuzz targets with the `fuzz` preset (clang, libFuzzer, ASan and
# UBSan), writes the seed corpora and fuzzes every target in turn: the WAVE
# reader, Brisendel's VST 2 record, its LV2 plug-in and the view's messages.
#   fuzz/run.sh [seconds]      seconds per target, default 60
# Exits non-zero when a fuzzer finds a crash, sanitizer report, leak, hang or
# broken invariant; the input that shows it is left in build/fuzz/artifacts/<target>/.
# Each target ends with libFuzzer's final statistics (stat::number_of_executed_units).
set -euo pipefail

seconds="${1:-60}"
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;;
esac

cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_riff_reader fuzz_riff_seeds fuzz_vst2 fuzz_lv2 \
  fuzz_view_messages fuzz_seeds

build=build/fuzz
seeds="$build/seeds"
rm -rf "$seeds" "$build/artifacts"
mkdir -p "$seeds/riff" "$seeds/vst2" "$seeds/lv2" "$seeds/view"
"$build/fuzz/fuzz_riff_seeds" "$seeds/riff"
"$build/fuzz/fuzz_seeds" "$seeds"

# fuzz <target> <seeds> <max_len> [options...]
# The corpus folder collects what the fuzzer finds interesting; the seeds are
# only read. A single input running over 10 s counts as a hang.
failed=0
fuzz() {
  local target="$1" name="$2" maxLen="$3"
  shift 3
  local corpus="$build/corpus/$name" artifacts="$build/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  echo "fuzz: $target, ${seconds} s"
  local status=0
  "$build/fuzz/$target" \
    -max_total_time="$seconds" \
    -timeout=10 \
    -max_len="$maxLen" \
    -artifact_prefix="$artifacts/" \
    -print_final_stats=1 \
    "$@" \
    "$corpus" "$seeds/$name" || status=$?
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
    echo "fuzz: $target found something, see $artifacts" >&2
    failed=1
  fi
}

fuzz fuzz_riff_reader riff 8192 -dict=fuzz/riff.dict
fuzz fuzz_vst2 vst2 512
fuzz fuzz_lv2 lv2 512
fuzz fuzz_view_messages view 4096 -dict=fuzz/view.dict

if [ "$failed" -ne 0 ]; then
  echo "fuzz: findings in $build/artifacts" >&2
  exit 1
fi
echo "fuzz: no findings in ${seconds} s per target"
