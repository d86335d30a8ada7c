#!/usr/bin/env bash
# AES-256 protection (the security option's AES256) against qpdf's own
# `--encrypt U O 256`, side by side in one run, on every PDF of the corpus.
# Median wall time and peak memory of each, and our share of qpdf's.
#
#   bench/security-aes256.sh [RUNS]          RUNS per file and tool, default 5
#   BENCH_CORPUS=/path/to/pdfs bench/security-aes256.sh
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
ours=${BENCH_ENCRYPT:-build/bin/folyant-encrypt-bench}
[[ -x $ours ]] || { echo "build first: cmake --build --preset default" >&2; exit 2; }
corpus=${BENCH_CORPUS:-$PWD/../shared/corpus/pdf}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/common.sh

printf '%-44s %9s %9s %7s %9s %9s %7s\n' pdf "qpdf s" "ours s" ratio "qpdf MB" "ours MB" ratio
for pdf in "$corpus"/*.pdf; do
  # A PDF that either tool refuses (one protected by its owner, one broken
  # beyond a faithful copy) has nothing to compare.
  if ! qpdf --encrypt USER OWNER 256 -- "$pdf" "$work/q.pdf" >/dev/null 2>&1 \
    || ! "$ours" "$pdf" "$work/o.pdf" USER OWNER AES256 2>/dev/null; then
    printf '%-44s %s\n' "$(basename "$pdf")" "(refused by one of the two: not compared)"
    continue
  fi
  : >"$work/q"; : >"$work/o"
  for ((i = 0; i < runs; i++)); do
    measure qpdf --encrypt USER OWNER 256 -- "$pdf" "$work/q.pdf" >>"$work/q"
    measure "$ours" "$pdf" "$work/o.pdf" USER OWNER AES256 >>"$work/o"
  done
  qs=$(cut -d' ' -f1 "$work/q" | median); qk=$(cut -d' ' -f2 "$work/q" | median)
  os=$(cut -d' ' -f1 "$work/o" | median); ok=$(cut -d' ' -f2 "$work/o" | median)
  row "$(basename "$pdf")" "$qs" "$os" "$qk" "$ok"
done
