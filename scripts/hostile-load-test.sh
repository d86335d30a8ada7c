#!/usr/bin/env bash
# Many users on one installed machine: installs the Debian package (built by
# scripts/build-deb.sh), makes three throw-away ordinary users and has them
# print at once, ten jobs each, while one of them is hostile: it holds the
# hand-off's locks in its own folder, stops (SIGSTOP) its own converters and
# sends jobs that never end. Every honest job's PDF must arrive, correct and
# stamped, and nothing of the hostile user may hold up the queue. Purges the
# package and removes the users afterwards, also when a step fails. Root only,
# on a machine whose print system may be changed (hold /work/system.lock).
# Usage: scripts/hostile-load-test.sh [PACKAGE.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/checks.sh

if [[ $(id -u) -ne 0 ]]; then
  echo "hostile-load-test: must run as root" >&2
  exit 2
fi
unset CUPS_SERVER FOLYANT_SYSCONFDIR FOLYANT_CONVERTER

deb=${1:-$(ls "$PWD"/build-deb/folyant-velmo_*.deb)}
queue=Folyant_Velmo
settings="/etc/xdg/Quorvale/Folyant Velmo.conf"
honest=("fvload$$a" "fvload$$b")
hostile="fvload$$h"
holders=()

cleanup() {
  set +e
  for pid in "${holders[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  cancel -a "$queue" 2>/dev/null
  for user in "${honest[@]}" "$hostile"; do
    for pid in $(pgrep -u "$user" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null; done
    userdel --remove "$user" 2>/dev/null
  done
  dpkg --purge folyant-velmo >/dev/null 2>&1
  if [[ -n $started_cupsd ]]; then
    kill "$started_cupsd" 2>/dev/null
    wait "$started_cupsd" 2>/dev/null
  fi
}
trap cleanup EXIT

ensure_cupsd

dpkg -i "$deb" >/dev/null
# A short time limit, so that the hostile user's endless and stopped jobs
# end within the test; the default (600 s) only makes them last longer.
printf 'TimeLimit=20\n' >>"$settings"

for user in "${honest[@]}" "$hostile"; do
  useradd --create-home --home-dir "/home/$user" --shell /bin/sh "$user"
  cp tests/data/acrobat6-win-word-12p.ps "/home/$user/job.ps"
  printf '%%!PS\nshowpage\n{ 1 pop } loop\n' >"/home/$user/endless.ps"
  chown "$user:" "/home/$user/job.ps" "/home/$user/endless.ps"
done
as_user() {
  local user=$1
  shift
  runuser -u "$user" -- env HOME="/home/$user" "$@"
}

# The hostile user arms a hand-off (as the document converter would) and
# holds its lock and its spool file's lock for good.
state="/home/$hostile/.local/state/folyant"
as_user "$hostile" mkdir -p "$state"
# Armed 150 s ago: the hand-off expires 30 s into the load, so that the later
# jobs are converted, and their converters stopped.
tick=$(awk '{printf "%d", $1 * 1000 - 150000}' /proc/uptime)
printf '[General]\nAsk%%20Name=0\nTick%%20Count=%s\nPSFileName=%s\n' "$tick" "$state/temp.ps" >"$state/handoff.conf"
chown "$hostile:" "$state/handoff.conf"
for lock in handoff.lock temp.ps; do
  runuser -u "$hostile" -- flock "$state/$lock" sleep 100000 &
  holders+=($!)
done
# ...and stops every converter of its own that starts.
(
  while :; do
    for pid in $(pgrep -u "$hostile" -f Folyant_Standard); do kill -STOP "$pid" 2>/dev/null; done
    sleep 0.2
  done
) &
holders+=($!)

started=$(date +%s)
for i in $(seq 1 10); do
  for user in "${honest[@]}"; do as_user "$user" lp -d "$queue" -t "job $i" "/home/$user/job.ps" >/dev/null & done
  if ((i % 2)); then file=job.ps; else file=endless.ps; fi
  as_user "$hostile" lp -d "$queue" -t "hostile $i" "/home/$hostile/$file" >/dev/null &
done
wait_for_honest() {
  for _ in $(seq 1 6000); do
    local done=0
    for user in "${honest[@]}"; do done=$((done + $(ls "/home/$user/PDF" 2>/dev/null | grep -c '\.pdf$' || true))); done
    ((done >= 20)) && return 0
    sleep 0.1
  done
  return 1
}
if wait_for_honest; then
  pass "20 honest PDFs arrived after $(($(date +%s) - started)) s, behind 10 hostile jobs"
else
  fail "honest PDFs missing after 600 s"
fi
for user in "${honest[@]}"; do
  for i in $(seq 1 10); do
    pdf="/home/$user/PDF/job $i.pdf"
    pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
    stamped=$(pdftotext "$pdf" - 2>/dev/null | grep -c 'Folyant Velmo' || true)
    owner=$(stat -c '%U %a' "$pdf" 2>/dev/null)
    [[ $pages == 12 && $stamped -ge 12 && $owner == "$user 600" ]] \
      || fail "$pdf: ${pages:-no} pages, $stamped stamped, owner and mode ${owner:-none}"
  done
done
((failures == 0)) && pass "every honest PDF has its 12 pages, all stamped, the user's own, mode 0600"

# The hostile jobs end too: held ones at once, stopped and endless ones at
# their time limit.
for _ in $(seq 1 3000); do
  [[ -z $(lpstat -o "$queue" 2>/dev/null) ]] && break
  sleep 0.2
done
[[ -z $(lpstat -o "$queue" 2>/dev/null) ]] && pass "the queue emptied after $(($(date +%s) - started)) s" \
  || fail "jobs left: $(lpstat -o "$queue")"
lpstat -p "$queue" | grep -q disabled && fail "the queue was stopped" || pass "the queue still prints"
hostile_pdfs=$(ls "/home/$hostile/PDF" 2>/dev/null | tr '\n' ' ' || true)
echo "hostile user's PDFs: ${hostile_pdfs:-none}"
echo "why the hostile jobs ended (cupsd's log):"
grep -ohE "(The hand-off (lock|file)|The conversion ran past its time limit|The job was cancelled)" /var/log/cups/error_log \
  | sort | uniq -c || true

if ((failures > 0)); then
  echo "hostile-load-test: $failures failure(s)" >&2
  exit 1
fi
echo "hostile-load-test: all passed"
