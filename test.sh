#!/usr/bin/env bash
# Installs whatever packages are missing, then builds and runs every test twice: a
# release build, then one under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
install_missing "${TEST_PACKAGES[@]}"

cmake --workflow --preset default
cmake --workflow --preset asan
