#!/usr/bin/env bash
# Sets everything up, builds, and converts a real print job into a stamped PDF
# with the development installation in build/ (nothing is installed system-wide).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

out="$PWD/build/sample/acrobat6-win-word-12p.pdf"
mkdir -p "$(dirname "$out")"
rm -f "$out"
FOLYANT_SYSCONFDIR="$PWD/build/etc/xdg" FOLYANT_UNATTENDED=1 \
  build/bin/Folyant_Standard "$out" /source tests/data/acrobat6-win-word-12p.ps

if [[ ! -s "$out" ]]; then
  echo "The conversion produced no PDF." >&2
  exit 1
fi
echo "PDF written: $out"
