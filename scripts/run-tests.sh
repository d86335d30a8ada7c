#!/usr/bin/env bash
# Sets everything up, builds with warnings as errors, and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci -j2
