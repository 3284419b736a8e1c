#!/usr/bin/env bash
# The LV2 bundle as a user installs it and as LV2 tools see it: installs it
# under a temporary prefix, validates its Turtle files, finds it with lilv
# through LV2_PATH, and renders a generated signal through it with lv2apply at
# three settings, each of which must equal the VST module's single-precision
# render sample for sample.
#
#   check-bundle.sh <build folder> <render_compare> <Brisendel.so (VST 2)>
#
# Exits 77 (skipped), naming what to install, when one of LV2's tools is missing.
set -euo pipefail
source "$(dirname "$0")/../../../scripts/packages.sh"
require_programs lv2_validate=lv2-dev sord_validate=sordi lv2ls=lilv-utils lv2info=lilv-utils \
  lv2apply=lilv-utils || exit 77
# With --check-programs (the configure step) that check is all.
[ "${1:-}" != --check-programs ] || exit 0
build=$1 compare=$2 vst=$3
uri=urn:orlask:brisendel

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

"${CMAKE:-cmake}" --install "$build" --component lv2 --prefix "$work/usr" >/dev/null
bundle=$work/usr/lib/lv2/Brisendel.lv2
export LV2_PATH=$work/usr/lib/lv2

# lv2_validate names every LV2 vocabulary file it skips; the verdict is the rest.
validation=$(lv2_validate "$bundle"/*.ttl 2>&1 | grep -v '^Skipping' || true)
echo "$validation"
grep -q '^Found 0 errors' <<<"$validation" || fail "lv2_validate reports errors"
! grep -qi 'warning' <<<"$validation" || fail "lv2_validate warns"

lv2ls | grep -qx "$uri" || fail "lv2ls does not list $uri"
info=$(lv2info "$uri")
grep -q "Binary: *file://$bundle/Brisendel.so" <<<"$info" || fail "lv2info names no binary"
grep -q 'Has latency: *yes, reported by port 9' <<<"$info" || fail "no latency port"
grep -q 'hardRTCapable' <<<"$info" || fail "not hard real-time capable"
for symbol in in_l in_r out_l out_r center side autogain quality window latency; do
  grep -q "Symbol: *$symbol\$" <<<"$info" || fail "no port $symbol"
done
for preset in "Remove center" "Remove sides" "Wider" "Narrower"; do
  grep -q "^[[:space:]]*$preset\$" <<<"$info" || fail "no preset $preset"
done
echo "lv2ls and lv2info find $uri: 10 ports, latency port 9, 4 presets"

"$compare" signal "$work/signal.wav"
# render NAME CENTER SIDE AUTOGAIN QUALITY WINDOW, or NAME alone for the defaults.
render() {
  local name=$1
  shift
  local controls=()
  if [ $# -eq 5 ]; then
    controls=(-c center "$1" -c side "$2" -c autogain "$3" -c quality "$4" -c window "$5")
  fi
  lv2apply -i "$work/signal.wav" -o "$work/$name.wav" "${controls[@]}" "$uri"
  if [ $# -eq 0 ]; then set -- 100 100 1 1 1; fi
  "$compare" lv2 "$vst" "$work/signal.wav" "$work/$name.wav" "$@"
}
render defaults
render remove-center 0 100 0 1 1
render wide-a 50 150 1 5 0
