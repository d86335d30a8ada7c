#!/usr/bin/env bash
# Folyant_Velmo against a cups-pdf queue (package printer-driver-cups-pdf) in one
# private cupsd, on small and large PostScript and PDF jobs: time from lp until
# done, and for PDF jobs the share of the job's words that each PDF keeps.
#   bench/printer.sh [RUNS]        BENCH_LARGE_JOB=/path/job.ps to choose the large job
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -x build/bin/folyant-printer-bench ]] || { echo "build first: cmake --build --preset default" >&2; exit 2; }
[[ -x /usr/lib/cups/backend/cups-pdf ]] || { echo "cups-pdf is needed (package printer-driver-cups-pdf)" >&2; exit 2; }
large=${BENCH_LARGE_JOB:-$PWD/../shared/corpus/ps/large-pdftops-L1-freeculture-p1-170.ps}
largePdf=${BENCH_LARGE_PDF:-$PWD/../shared/corpus/pdf/pdfjs-freeculture.pdf}
jobs=(tests/data/cups-testfile.ps tests/data/acrobat6-win-word-12p.ps tests/data/cups-onepage-a4.pdf
  tests/data/pdfjs-tracemonkey.pdf)
[[ -f "$large" ]] && jobs+=("$large")
[[ -f "$largePdf" ]] && jobs+=("$largePdf")
BENCH_RUNS=${1:-3} build/bin/folyant-printer-bench "${jobs[@]}"
