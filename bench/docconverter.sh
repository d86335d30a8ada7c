#!/usr/bin/env bash
# zevConverter against LibreOffice's own `soffice --convert-to pdf` (the user's
# usual profile, warm) on every office document of the corpus and a 304-page
# one, in one run: time and peak memory as ratios, ours cold (its office
# started by the run) and warm (already running), and the share of the words
# of LibreOffice's PDF that ours keeps. It uses the real home folder: the
# user's warm office is ended before and after.
#   bench/docconverter.sh [RUNS]   (BENCH_ZEVCONVERTER=PATH measures another build;
#   BENCH_KEEP=FOLDER keeps both PDFs of each document there)
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -x build/bin/folyant-docconverter-bench ]] || { echo "build first: cmake --build --preset default" >&2; exit 2; }
[[ -x /usr/bin/soffice ]] || { echo "LibreOffice is needed" >&2; exit 2; }
corpus=../shared/corpus/office
[[ -d $corpus ]] || { echo "the corpus is missing: $corpus" >&2; exit 2; }
documents=("$corpus"/* tests/data/office/public-licences-304p.doc)
BENCH_RUNS=${1:-3} build/bin/folyant-docconverter-bench "${documents[@]/#/$PWD/}"
