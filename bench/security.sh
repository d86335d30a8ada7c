#!/usr/bin/env bash
# EncryptPdfFile against qpdf's own RC4 40-bit protection, side by side in one
# run, on the test PDFs and one large PDF. Median wall time and peak memory.
#
#   bench/security.sh [RUNS]                  RUNS per file and tool, default 5
#   BENCH_LARGE_PDF=/path/big.pdf bench/security.sh
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
ours=build/bin/folyant-encrypt-bench
[[ -x $ours ]] || { echo "build first: cmake --build --preset default" >&2; exit 2; }

large=${BENCH_LARGE_PDF:-$PWD/../shared/corpus/pdf/pdfjs-freeculture.pdf}
files=(tests/data/cups-onepage-a4.pdf tests/data/pdfjs-issue16287-chromium-noid.pdf)
[[ -f "$large" ]] && files+=("$large") || echo "(large PDF not found at $large; set BENCH_LARGE_PDF)" >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/common.sh

printf '%-44s %9s %9s %7s %9s %9s %7s\n' pdf "qpdf s" "ours s" ratio "qpdf MB" "ours MB" ratio
for pdf in "${files[@]}"; do
  : >"$work/q"; : >"$work/o"
  for ((i = 0; i < runs; i++)); do
    measure qpdf --allow-weak-crypto --encrypt USER OWNER 40 -- "$pdf" "$work/q.pdf" >>"$work/q"
    measure "$ours" "$pdf" "$work/o.pdf" USER OWNER >>"$work/o"
  done
  qs=$(cut -d' ' -f1 "$work/q" | median); qk=$(cut -d' ' -f2 "$work/q" | median)
  os=$(cut -d' ' -f1 "$work/o" | median); ok=$(cut -d' ' -f2 "$work/o" | median)
  row "$(basename "$pdf")" "$qs" "$os" "$qk" "$ok"
done
