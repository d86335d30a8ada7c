#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, ASan and UBSan (the "fuzz"
# preset), and fuzzes each for SECONDS (default 60) from a copy of its seeds.
# A failing input is left in build-fuzz/; keep it in fuzz/seeds/<target>/ as a
# named regression.
#   scripts/fuzz.sh [SECONDS]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(command_line folder_path job_title job_options log_text ini_text office_document)

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}" || exit 1

failed=0
for target in "${targets[@]}"; do
  corpus="build-fuzz/corpus-$target"
  mkdir -p "$corpus"
  cp -n fuzz/seeds/$target/* "$corpus/" 2>/dev/null
  # One target's finding must not keep the others from being fuzzed.
  if ! (cd build-fuzz && "./bin/fuzz_$target" -max_total_time="$seconds" "corpus-$target"); then
    echo "fuzz_$target found a failing input" >&2
    failed=1
  fi
done
exit $failed
