#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs the
# tests labelled "sanitize": those of the converter, the interpreter and the
# backend (through a private cupsd), which take untrusted input. The rest of
# the suite runs in the ci preset only, to keep a CI run near half an hour.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize --target interpreter_tests converter_core_tests converter_program_tests \
  backend_tests printer_tests
ctest --preset sanitize -L sanitize -j2
