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
measure() { /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1 || true; tail -n 1 "$work/time"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-36s %9s %9s %7s %9s %9s %7s\n' pdf "qpdf s" "ours s" ratio "qpdf MB" "ours MB" ratio
for pdf in "${files[@]}"; do
  : >"$work/q"; : >"$work/o"
  for ((i = 0; i < runs; i++)); do
    measure qpdf --allow-weak-crypto --encrypt USER OWNER 40 -- "$pdf" "$work/q.pdf" >>"$work/q"
    measure "$ours" "$pdf" "$work/o.pdf" USER OWNER >>"$work/o"
  done
  qs=$(cut -d' ' -f1 "$work/q" | median); qk=$(cut -d' ' -f2 "$work/q" | median)
  os=$(cut -d' ' -f1 "$work/o" | median); ok=$(cut -d' ' -f2 "$work/o" | median)
  awk -v n="$(basename "$pdf")" -v qs="$qs" -v os="$os" -v qk="$qk" -v ok="$ok" 'BEGIN {
    printf "%-36s %9.2f %9.2f %7.2f %9.1f %9.1f %7.2f\n", n, qs, os, (qs > 0 ? os / qs : 0), qk / 1024, ok / 1024, ok / qk }'
done
