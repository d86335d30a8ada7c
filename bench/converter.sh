#!/usr/bin/env bash
# Folyant_Standard (unattended) against the gs program given the same
# arguments, on the test jobs and one large job, side by side in one run.
# Prints the median wall time and peak memory (RSS) of each, and their ratios.
#
#   bench/converter.sh [RUNS]           RUNS per job and tool, default 5
#   BENCH_LARGE_JOB=/path/job.ps bench/converter.sh
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}

[[ -x build/bin/Folyant_Standard ]] || { echo "build first: cmake --build --preset default" >&2; exit 2; }
command -v gs >/dev/null || { echo "the gs program is needed (package ghostscript)" >&2; exit 2; }

conf="$PWD/build/etc/xdg/Quorvale/Folyant Velmo.conf"
value() { sed -n "s/^$1=\"\\(.*\\)\"$/\\1/p" "$conf"; }
lib=$(value GSLibPath)
fonts=$(value GSFontPath)
resource=${fonts//fonts/Resource\/}

large=${BENCH_LARGE_JOB:-$PWD/../shared/corpus/ps/large-pdftops-L1-freeculture-p1-170.ps}
jobs=(tests/data/*.ps)
[[ -f "$large" ]] && jobs+=("$large") || echo "(large job not found at $large; set BENCH_LARGE_JOB)" >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/common.sh
export FOLYANT_SYSCONFDIR="$PWD/build/etc/xdg" FOLYANT_UNATTENDED=1 XDG_CONFIG_HOME="$work/config"

stamp="<< /EndPage { exch pop 2 lt { ($lib/zev.ps) .runfile true } { false } ifelse } >> setpagedevice"

# "seconds kilobytes" of one run

printf '%-44s %9s %9s %7s %9s %9s %7s\n' job "gs s" "ours s" ratio "gs MB" "ours MB" ratio
for job in "${jobs[@]}"; do
  : >"$work/gs" ; : >"$work/ours"
  for ((i = 0; i < runs; i++)); do
    measure gs -q -dBATCH "-I$lib:$fonts" "-sOutputFile=$work/gs.pdf" -dNOPAUSE \
      "-sGenericResourceDir=$resource" -dAutoRotatePages=/All -sDEVICE=pdfwrite \
      -dPDFSETTINGS=/printer -dEmbedAllFonts=true -c "$stamp" -f "$job" >>"$work/gs"
    measure build/bin/Folyant_Standard "$work/ours.pdf" /source "$job" >>"$work/ours"
  done
  gs_s=$(cut -d' ' -f1 "$work/gs" | median);   gs_k=$(cut -d' ' -f2 "$work/gs" | median)
  our_s=$(cut -d' ' -f1 "$work/ours" | median); our_k=$(cut -d' ' -f2 "$work/ours" | median)
  row "$(basename "$job")" "$gs_s" "$our_s" "$gs_k" "$our_k"
done
