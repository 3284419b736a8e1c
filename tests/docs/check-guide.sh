#!/usr/bin/env bash
# The user's guide against the tool: docs/guide/numbers.txt must hold what
# `brisendel guide` measures now, and every number docs/guide.md quotes from it
# must be the one the file holds.
#
#   check-guide.sh <brisendel> <plug-in> <source folder>
#
# A fresh run may differ from the file by one step of the printed precision
# (another processor's kernels round the last digit the other way); any more
# means the guide describes a plug-in or a tool that is no longer the built one.
# The guide quotes a number as VALUE<!--KEY--> (the comment is invisible on the
# page): VALUE must be the file's value of KEY, written with "-" or "−".
# Regenerate with: brisendel guide docs/guide
set -euo pipefail
brisendel=$1
plugin=$2
source=$3
numbers=$source/docs/guide/numbers.txt
guide=$source/docs/guide.md

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
TMPDIR=$work "$brisendel" guide "$work/guide" --plugin "$plugin" >"$work/log" 2>&1 ||
  { cat "$work/log"; echo "FAILED: brisendel guide"; exit 1; }

status=0
# Same keys in the same order, each value within one step of its last digit.
awk '
  function step(text,    dot) {
    dot = index(text, ".")
    return dot == 0 ? 1 : 10 ^ -(length(text) - dot)
  }
  /^#/ || NF == 0 { next }
  FNR == NR { key[++n] = $1; value[n] = $2; next }
  {
    m++
    if (m > n) { printf "new number %s %s: not in the guide'"'"'s numbers\n", $1, $2; bad = 1; next }
    if ($1 != key[m]) { printf "line %d: %s measured where the guide has %s\n", m, $1, key[m]; bad = 1; next }
    if ($2 ~ /inf/ || value[m] ~ /inf/) {
      if ($2 != value[m]) { printf "%s: guide %s, measured %s\n", $1, value[m], $2; bad = 1 }
      next
    }
    tolerance = step(value[m]) * 1.0001
    difference = $2 - value[m]
    if (difference < 0) difference = -difference
    if (difference > tolerance) { printf "%s: guide %s, measured %s\n", $1, value[m], $2; bad = 1 }
  }
  END {
    if (m < n) { printf "%d numbers of the guide are no longer measured\n", n - m; bad = 1 }
    exit bad
  }' "$numbers" "$work/guide/numbers.txt" || status=1

# Every quoted number is the file's.
sed 's/−/-/g' "$guide" | grep -o '[-+0-9.inf]*<!--[a-z0-9_.]*-->' >"$work/quoted" || true
quoted=$(wc -l <"$work/quoted")
[ "$quoted" -gt 0 ] || { echo "the guide quotes no number"; status=1; }
awk '
  /^#/ || NF == 0 { next }
  FNR == NR { value[$1] = $2; next }
  {
    split($0, part, "<!--"); text = part[1]; name = part[2]; sub(/-->$/, "", name)
    if (!(name in value)) { printf "the guide quotes %s, which numbers.txt lacks\n", name; bad = 1 }
    else if (text != value[name]) { printf "the guide quotes %s as %s; numbers.txt has %s\n", name, text, value[name]; bad = 1 }
  }
  END { exit bad }' "$numbers" "$work/quoted" || status=1

if [ "$status" -ne 0 ]; then
  echo "FAILED: docs/guide is out of date; regenerate with: brisendel guide docs/guide, then update the quotes in docs/guide.md"
  exit 1
fi
echo "$(grep -vc '^#' "$numbers") numbers match the tool; the guide quotes $quoted of them correctly"
