#!/usr/bin/env bash
# Brisendel with its own view in a real LV2 host: jalv.gtk3 on JACK's dummy
# driver under a private Xvfb, fed JACK's test tone, with Side 160 and Center
# 70. Passes when jalv runs the plug-in with Brisendel's view (not jalv's
# generic controls) and the view draws what the plug-in measures once the tone
# plays; leaves a screenshot of the host's window.
#
#   jalv-view.sh <lib/lv2 folder of the build> <screenshot.png>
#
# Exits 77 (skipped), naming what to install, when a program is missing.
set -euo pipefail
source "$(dirname "$0")/../../../scripts/packages.sh"
require_programs Xvfb=xvfb jackd=jackd2 jack_simple_client=jackd2 jack_connect=jackd2 \
  jack_wait=jackd2 jalv.gtk3=jalv import=imagemagick compare=imagemagick || exit 77
[ "${1:-}" != --check-programs ] || exit 0
lv2=$1 shot=$2

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  for log in "$work"/*.log; do echo "--- $(basename "$log")"; cat "$log"; done >&2
  exit 1
}

# The screen is the size of jalv's window with the view, so that the whole
# screen is the screenshot.
Xvfb -displayfd 3 -screen 0 860x545x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$work/display")

# A JACK server of our own, on the dummy driver: no sound card, no realtime rights.
# One name for every run: JACK's registry holds few servers, and a name per run
# would fill it with the entries of servers that did not end cleanly.
export JACK_DEFAULT_SERVER=brisendel-view-test JACK_NO_AUDIO_RESERVATION=1
jackd --no-realtime -d dummy -r 48000 -p 512 >"$work/jackd.log" 2>&1 &
pids+=($!)
jack_wait -w -t 10 >/dev/null || fail "jackd did not start"

LV2_PATH=$lv2 jalv.gtk3 -c center=70 -c side=160 urn:orlask:brisendel >"$work/jalv.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  grep -q '^UI: ' "$work/jalv.log" && break
  sleep 0.1
done
grep -q '^UI: *urn:orlask:brisendel#ui' "$work/jalv.log" || fail "jalv did not choose Brisendel's view"
# Before any sound: the view's scales and controls, and no curve.
sleep 2
import -window root "$work/silent.png"

jack_simple_client >"$work/tone.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  jack_connect jack_simple_client:output1 Brisendel:in_l 2>/dev/null &&
    jack_connect jack_simple_client:output2 Brisendel:in_r 2>/dev/null && break
  sleep 0.1
done
# The view smooths over 300 ms and its spectra come every third of a second.
sleep 3
import -window root "$shot"
# The measured curves, goniometer points and meters are what changed.
changed=$(compare -metric AE "$work/silent.png" "$shot" null: 2>&1 || true)
echo "pixels the measurement drew: $changed"
[ "${changed%%.*}" -gt 2000 ] 2>/dev/null || fail "the view shows no measurement ($changed pixels changed)"
echo "jalv.gtk3 shows Brisendel's view with the measured output: $shot"
