#!/usr/bin/env bash
# Builds the fuzz targets with the `fuzz` preset (clang, libFuzzer, ASan and
# UBSan), writes the seed corpus and fuzzes the WAVE reader.
#   fuzz/run.sh [seconds]      default 60
# Exits non-zero when the fuzzer finds a crash, sanitizer report, leak, hang or
# broken invariant; the input that shows it is left in build/fuzz/artifacts/.
set -euo pipefail

seconds="${1:-60}"
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;;
esac

cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_riff_reader fuzz_riff_seeds

build=build/fuzz
seeds="$build/seeds"
corpus="$build/corpus"
artifacts="$build/artifacts"
rm -rf "$seeds" "$artifacts"
mkdir -p "$seeds" "$corpus" "$artifacts"
"$build/fuzz/fuzz_riff_seeds" "$seeds"

# The first folder collects what the fuzzer finds interesting; the seeds are
# only read. A single input running over 10 s counts as a hang.
"$build/fuzz/fuzz_riff_reader" \
  -max_total_time="$seconds" \
  -timeout=10 \
  -max_len=8192 \
  -dict=fuzz/riff.dict \
  -artifact_prefix="$artifacts/" \
  -print_final_stats=1 \
  "$corpus" "$seeds"

if [ -n "$(ls -A "$artifacts")" ]; then
  echo "fuzz: findings in $artifacts" >&2
  exit 1
fi
echo "fuzz: no findings in ${seconds} s"
