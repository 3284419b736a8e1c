#!/usr/bin/env bash
# Builds the .deb from a build folder into a temporary folder, runs lintian on
# it (no error and no warning allowed), and checks what it carries: both
# plug-ins, the tool, its manual page, the guide, the copyright and changelog, no
# maintainer scripts, and an LV2 bundle that lilv finds where it was unpacked.
#
#   check-package.sh <build folder>
#
# Exits 77 (skipped), naming what to install, when one of the packaging tools
# is missing (cpack runs dpkg-shlibdeps through cmake/DebianDepends.cmake).
set -euo pipefail
source "$(dirname "$0")/../../scripts/packages.sh"
require_programs dpkg-shlibdeps=dpkg-dev dpkg-deb=dpkg lintian=lintian lv2ls=lilv-utils || exit 77
# With --check-programs (the configure step) that check is all.
[ "${1:-}" != --check-programs ] || exit 0
build=$(cd "$1" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

"${CPACK:-cpack}" --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb"
deb=${debs[0]}
echo "$(basename "$deb")"

status=0
report=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
# lintian complains about being run as root; that says nothing of the package.
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings"
echo "lintian: no error, no warning"

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in ./usr/bin/brisendel ./usr/lib/vst/Brisendel.so \
  ./usr/lib/lv2/Brisendel.lv2/Brisendel.so ./usr/lib/lv2/Brisendel.lv2/manifest.ttl \
  ./usr/lib/lv2/Brisendel.lv2/Brisendel.ttl ./usr/lib/lv2/Brisendel.lv2/presets.ttl \
  ./usr/share/man/man1/brisendel.1.gz ./usr/share/doc/brisendel/copyright \
  ./usr/share/doc/brisendel/changelog.gz ./usr/share/doc/brisendel/guide.md \
  ./usr/share/doc/brisendel/guide/center.png; do
  grep -qx "$path" <<<"$contents" || fail "the package lacks $path"
done
dpkg-deb --control "$deb" "$work/control"
for script in preinst postinst prerm postrm; do
  [ ! -e "$work/control/$script" ] || fail "the package runs a $script script"
done

dpkg-deb --extract "$deb" "$work/root"
LV2_PATH=$work/root/usr/lib/lv2 lv2ls | grep -qx urn:orlask:brisendel ||
  fail "lv2ls does not find the packaged bundle"
echo "the package carries both plug-ins, brisendel, its manual page, the guide, copyright and changelog"
