#!/usr/bin/env bash
# From a fresh clone to a working brisendel: installs whatever packages are missing,
# builds the plug-in and the tool (release, without tests or benchmarks) and runs the
# demo, which writes its files and stereo-field.png into brisendel-demo/.
# Run it again at any time: it installs and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}"

cmake --preset release
cmake --build --preset release
build/release/tools/brisendel demo brisendel-demo
echo
echo "brisendel is build/release/tools/brisendel; the plug-in is build/release/lib/vst/Brisendel.so,"
echo "the LV2 bundle build/release/lib/lv2/Brisendel.lv2"
