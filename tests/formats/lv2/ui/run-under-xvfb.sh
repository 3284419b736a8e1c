#!/usr/bin/env bash
# Runs a program under an X server of its own: a private Xvfb on the first free
# display, ended when the program ends. Without Xvfb the program is skipped
# with exit code 77.
#
#   run-under-xvfb.sh <program> [arguments...]
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIPPED: Xvfb is missing; install it with: apt-get install xvfb"
  exit 77
fi
work=$(mktemp -d)
# -displayfd: Xvfb picks a free display and writes its number once it accepts
# clients. -noreset: the server stays up between test cases, when no client
# is connected for a moment.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  if ! kill -0 $xvfb 2>/dev/null; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start in 10 s" >&2; exit 1; }
DISPLAY=:$(head -n 1 "$work/display") "$@"
