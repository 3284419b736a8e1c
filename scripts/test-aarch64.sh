#!/usr/bin/env bash
# The 64-bit ARM half of the tests: cross-builds the library, Brisendel.so and
# the tests with Debian's aarch64-linux-gnu compilers and runs the tests under
# qemu-aarch64 (the aarch64 workflow preset; the vector kernels there are the
# NEON ones); then renders one signal through the aarch64 Brisendel.so and
# through the x86-64 one and compares the two, and packs the arm64 Debian
# package. Runs after the Linux workflows, whose release build (build/default)
# provides the x86-64 render.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_missing "${AARCH64_PACKAGES[@]}"
install_arm64 "${AARCH64_TARGET_PACKAGES[@]}"
# Whatever the installation left out stops the run here, named, rather than
# as a failed build or test further on.
require_programs aarch64-linux-gnu-g++=g++-aarch64-linux-gnu qemu-aarch64=qemu-user || exit 1

cmake --workflow --preset aarch64

# Both builds must compute the same thing: the same signal at Quality 1, 5 and 9
# with both windows, rendered through each module, within 1e-12 of the peak.
if [ ! -x build/default/tests/formats/render/render_compare ]; then
  cmake --preset default > /dev/null
  cmake --build --preset default --target render_compare
fi
renders="$(mktemp -d)"
trap 'rm -rf "$renders"' EXIT
build/default/tests/formats/render/render_compare render build/default/lib/vst/Brisendel.so \
  "$renders/x86-64.raw"
qemu-aarch64 -L /usr/aarch64-linux-gnu build/aarch64/tests/formats/render/render_compare render \
  build/aarch64/lib/vst/Brisendel.so "$renders/aarch64.raw"
build/default/tests/formats/render/render_compare compare "$renders/x86-64.raw" "$renders/aarch64.raw"

# The arm64 Debian package: the VST 2 module and the LV2 bundle for 64-bit ARM Linux.
(cd build/aarch64 && cpack)
