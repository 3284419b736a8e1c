#!/usr/bin/env bash
# Installs whatever packages are missing, then builds and runs every test: the
# release build, the same under the address and undefined-behaviour sanitizers,
# the plug-in under ThreadSanitizer with a host's processing and parameter
# threads, the Windows build (Brisendel.dll and the test suites under Wine, and a
# render of the DLL checked against the Linux module's) and the 64-bit ARM build
# (the plug-ins and the test suites under qemu-aarch64, and a render checked the
# same way).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
install_missing "${TEST_PACKAGES[@]}"

cmake --workflow --preset default
cmake --workflow --preset asan
cmake --workflow --preset tsan
scripts/test-windows.sh
scripts/test-aarch64.sh
