#!/usr/bin/env bash
# Fails when a C++ file is not formatted as .clang-format says, or when
# clang-tidy finds anything in the programs' and libraries' code. Needs a configured
# build folder for the compile commands (default build-ci).
#   scripts/check-style.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-ci}

git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror

# Every translation unit of the programs and libraries, two at a time. Tests,
# fuzz targets and benchmark drivers are judged by the compiler's warnings only.
git ls-files '*.cpp' ':!tests/' ':!fuzz/' ':!bench/' \
  | xargs -P 2 -n 4 clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2>/dev/null
