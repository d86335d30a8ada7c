# Helpers shared by the benchmark scripts; source it after setting $work.

# "seconds kilobytes" of one run of a command (its output is discarded). The
# wall time to the microsecond: small jobs take tens of milliseconds, finer
# than time(1) reports.
measure() {
  local start=$EPOCHREALTIME
  /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null 2>&1 || true
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" -v k="$(tail -n 1 "$work/time")" 'BEGIN { printf "%.6f %s\n", e - s, k }'
}

# The median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# One table row: name, then the baseline's and our seconds and kilobytes.
row() {
  awk -v n="$1" -v bs="$2" -v os="$3" -v bk="$4" -v ok="$5" 'BEGIN {
    printf "%-44s %9.3f %9.3f %7.2f %9.1f %9.1f %7.2f\n", n, bs, os, (bs > 0 ? os / bs : 0), bk / 1024, ok / 1024, ok / bk }'
}
