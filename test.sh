#!/usr/bin/env bash
# Builds and runs every test twice: a release build, then one under the
# address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
cmake --workflow --preset default
cmake --workflow --preset asan
