#!/usr/bin/env bash
# The Windows half of the tests: cross-builds the library, Brisendel.dll and the tests with
# mingw-w64 and runs the tests under Wine (the windows workflow preset); then
# renders one signal through Brisendel.dll and through Brisendel.so and compares
# the two, and packs the Windows zip. Runs after the Linux workflows, whose
# release build (build/default) provides the Linux render.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_missing "${WINDOWS_PACKAGES[@]}"
# Whatever the installation left out stops the run here, named, rather than
# as a failed build or test further on.
require_programs x86_64-w64-mingw32-g++-posix=g++-mingw-w64-x86-64-posix wine=wine wineboot=wine \
  wineserver=wine winepath=wine || exit 1

# Wine without a display (a failure's message box then returns at once), without
# its debug output, and without the .NET and HTML engines it would offer to
# download. The prefix takes about 700 MB.
export WINEPREFIX="${WINEPREFIX:-/tmp/brisendel-wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  wineboot -i
  wineserver -w
fi
# One Wine server for the whole run: started per program, it lingers for seconds
# after each one exits and every test would wait for it.
wineserver -p
trap 'wineserver -k || true' EXIT
wineboot

# The windows test preset runs a failed test once more: right after a prefix is
# made, Wine now and then fails to start a program at all (no output, a few
# milliseconds; about one run in four showed one such test). A test that really
# fails, fails twice.
cmake --workflow --preset windows

# Both builds must compute the same thing: the same signal at Quality 1, 5 and 9
# with both windows, rendered through each module, within 1e-12 of the peak.
if [ ! -x build/default/tests/formats/render/render_compare ]; then
  cmake --preset default > /dev/null
  cmake --build --preset default --target render_compare
fi
renders="$(mktemp -d)"
build/default/tests/formats/render/render_compare render build/default/lib/vst/Brisendel.so \
  "$renders/linux.raw"
(cd build/windows/bin && wine ./render_compare.exe render Brisendel.dll "$(winepath -w "$renders/windows.raw")")
build/default/tests/formats/render/render_compare compare "$renders/linux.raw" "$renders/windows.raw"
rm -rf "$renders"

# The Windows release zip: Brisendel.dll and its README.
(cd build/windows && cpack)
