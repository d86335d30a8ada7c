#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, ASan and UBSan, and fuzzes
# each for SECONDS (default 60) from a copy of its seeds. A failing input is
# left in build-fuzz/; keep it in fuzz/seeds/<target>/ as a named regression.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build-fuzz
mkdir -p "$out"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Iplatform -Iconverter -Iinterpreter -Ibackend)
build() { clang++ "${flags[@]}" "$@"; }

build fuzz/FuzzCommandLine.cpp converter/CDu2RorCommandLineInfo.cpp converter/ConversionJob.cpp \
  converter/TextNumbers.cpp -DFOLYANT_GS_FONT_FOLDER='"/fonts"' -o "$out/command_line"
build fuzz/FuzzFolderPath.cpp converter/FolderChecks.cpp -o "$out/folder_path"
build fuzz/FuzzJobTitle.cpp backend/OutputName.cpp -o "$out/job_title"
build fuzz/FuzzJobOptions.cpp backend/JobOptions.cpp -lcups -o "$out/job_options"
build fuzz/FuzzLogText.cpp interpreter/ConversionLog.cpp -o "$out/log_text"

for target in command_line folder_path job_title job_options log_text; do
  corpus="$out/corpus-$target"
  mkdir -p "$corpus"
  cp -n fuzz/seeds/$target/* "$corpus/" 2>/dev/null || true
  (cd "$out" && "./$target" -max_total_time="$seconds" "corpus-$target")
done
