#!/usr/bin/env bash
# The suite as a real installation: builds the Debian package, checks it with
# lintian, installs it with dpkg on this machine, and prints through the
# system's own cupsd as a throw-away ordinary user. Then purges the package
# and checks that nothing of the suite is left. Cleans up after itself even
# when a step fails. Must run as root, on a machine whose print system may be
# changed (a CI machine or a test VM).
# Usage: scripts/real-install-test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/checks.sh

if [[ $(id -u) -ne 0 ]]; then
  echo "real-install-test: must run as root" >&2
  exit 2
fi
unset CUPS_SERVER FOLYANT_SYSCONFDIR FOLYANT_CONVERTER

queue=Folyant_Velmo
settings="/etc/xdg/Quorvale/Folyant Velmo.conf"
log=/var/log/cups/error_log
user="fvreal$$"

cleanup() {
  set +e
  dpkg --purge folyant-velmo >/dev/null 2>&1
  if id "$user" >/dev/null 2>&1; then
    pkill -KILL -u "$user" 2>/dev/null
    # What LibreOffice and its Java leave in /tmp for the user, by its name.
    rm -rf "/tmp/hsperfdata_$user" /tmp/OSL_PIPE_"$(id -u "$user")"_*
    userdel --remove "$user" 2>/dev/null
  fi
  if [[ -n $started_cupsd ]]; then
    kill "$started_cupsd" 2>/dev/null
    wait "$started_cupsd" 2>/dev/null
  fi
}
trap cleanup EXIT

# Waits until the queue has no unfinished job (at most two minutes).
wait_for_jobs() {
  for _ in $(seq 1 1200); do
    [[ -z $(lpstat -o "$queue" 2>/dev/null) ]] && return 0
    sleep 0.1
  done
  fail "jobs did not finish: $(lpstat -o "$queue")"
}

as_user() { runuser -u "$user" -- env HOME="/home/$user" "$@"; }

deb=$(scripts/build-deb.sh | tail -n 1)
echo "package: $deb ($(stat -c %s "$deb") bytes)"
lint=$(lintian --pedantic "$deb" 2>&1 | grep -v 'running with root privileges' || true)
echo "${lint:-lintian: no tags}"
if grep -q '^[EW]:' <<<"$lint"; then fail "lintian reports errors or warnings"; else pass "lintian"; fi

ensure_cupsd
log_start=$(stat -c %s "$log" 2>/dev/null || echo 0)

dpkg -i "$deb"
if lpstat -v "$queue" 2>/dev/null | grep -q 'folyant:/PPD'; then pass "the package installed the queue"; else fail "no queue after install"; fi
[[ -f $settings ]] && pass "machine settings in /etc/xdg" || fail "no machine settings"
[[ -f /usr/share/folyant/lib/cidfmap ]] && pass "font map written" || fail "no cidfmap"
[[ $(stat -c '%U %a' /usr/lib/cups/backend/folyant) == "root 700" ]] && pass "backend root 0700" || fail "backend mode"

useradd --create-home --home-dir "/home/$user" --shell /bin/sh "$user"

# A print job maps no widget library; a watched run loads the installed dialogs.
maps_while_converting() {
  as_user env "$@" sh -c '( printf "%%!PS\nshowpage\n"; sleep 2 ) | /usr/bin/Folyant_Standard "$1" 2>/dev/null &
    pid=$!; sleep 1; cat /proc/$pid/maps; wait $pid' sh "/home/$user/maps.pdf"
}
maps=$(maps_while_converting FOLYANT_UNATTENDED=1)
[[ -n $maps ]] && ! grep -q libQt6 <<<"$maps" && pass "an unattended run maps no Qt library" \
  || fail "an unattended run maps Qt (or did not run)"
maps=$(maps_while_converting FOLYANT_UNATTENDED=0 DISPLAY=:99 QT_QPA_PLATFORM=offscreen)
grep -q "^.* /usr/lib/[^ ]*/folyant/Folyant_Standard_dialogs.so$" <<<"$maps" && grep -q libQt6Widgets <<<"$maps" \
  && pass "a watched run loads the installed dialogs" || fail "a watched run did not load the installed dialogs"
rm -f "/home/$user/maps.pdf"

text="/home/$user/notes.txt"
printf 'Plain text notes of an ordinary user\n' >"$text"
chown "$user:" "$text"

root_before=$(ls -A /root/PDF 2>/dev/null | sort || true)
as_user lp -d "$queue" -t "ps job" tests/data/acrobat6-win-word-12p.ps >/dev/null || fail "lp refused: ps job"
as_user lp -d "$queue" -t "pdf job" tests/data/pdfjs-tracemonkey.pdf >/dev/null || fail "lp refused: pdf job"
as_user lp -d "$queue" -t "text job" "$text" >/dev/null || fail "lp refused: text job"
if as_user lp -d "$queue" -U root -t planted tests/data/cups-testfile.ps >/dev/null 2>&1; then
  fail "lp -U root from an ordinary user was accepted"
else
  pass "lp -U root from an ordinary user is refused"
fi
# An application's own print, as the user: LibreOffice sends PDF.
cp tests/data/office/poi-SampleDoc.doc "/home/$user/letter.doc"
chown "$user:" "/home/$user/letter.doc"
(cd "/home/$user" && timeout 120 runuser -u "$user" -- env HOME="/home/$user" soffice --headless \
  "-env:UserInstallation=file:///home/$user/.lo-profile" --pt "$queue" letter.doc >/dev/null 2>&1) \
  || fail "LibreOffice could not print as the user"
wait_for_jobs

for title in "ps job" "pdf job" "text job" "letter"; do
  pdf="/home/$user/PDF/$title.pdf"
  if [[ ! -f $pdf ]]; then
    fail "$title: no PDF in the user's ~/PDF ($(ls "/home/$user/PDF" 2>/dev/null | tr '\n' ' '))"
    continue
  fi
  [[ $(stat -c %U "$pdf") == "$user" ]] || fail "$title: the PDF is not the user's"
  pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
  stamped=$(pdftotext "$pdf" - | grep -c 'Folyant Velmo' || true)
  [[ $stamped -ge $pages ]] && pass "$title: $pages pages, all stamped" || fail "$title: $stamped of $pages pages stamped"
  tail -c +"$((log_start + 1))" "$log" | grep -qF "$pdf" && pass "$title: the log names the PDF" \
    || fail "$title: the log at the default level does not name $pdf"
done
# The job's state message names the PDF too.
last=$(lpstat -W completed -o "$queue" | awk '{print $1}' | sed 's/.*-//' | sort -n | tail -n 1)
ipptool -tv "ipp://localhost/jobs/$last" get-job-attributes.test 2>/dev/null \
  | grep -q "job-printer-state-message.*PDF written: /home/$user/PDF/" \
  && pass "the job's state message names the PDF" || fail "the job's state message does not name the PDF"
[[ $(ls -A /root/PDF 2>/dev/null | sort || true) == "$root_before" ]] && pass "nothing landed in /root/PDF" \
  || fail "a PDF landed in /root/PDF"

# The document converter as the user: a Word document printed by the user's
# own office into a file, and a presentation through the queue and the
# hand-off. Its text is kept; the program links no widget library, and its
# window comes from the installed dialogs' library.
cp tests/data/office/poi-bullets.ppt "/home/$user/slides.ppt"
chown "$user:" "/home/$user/slides.ppt"
for document in letter.doc slides.ppt; do
  out="/home/$user/${document%.*} converted.pdf"
  (cd "/home/$user" && timeout 180 runuser -u "$user" -- env HOME="/home/$user" FOLYANT_UNATTENDED=1 \
    zevConverter "$document" "$out" >/dev/null 2>&1) || fail "zevConverter $document: exit status $?"
  words=$(pdftotext "$out" - 2>/dev/null | wc -w)
  [[ $words -gt 20 && $(stat -c %U "$out") == "$user" ]] && pdftotext "$out" - | grep -q 'Folyant Velmo' \
    && pass "zevConverter $document: the user's PDF, stamped, $words words" || fail "zevConverter $document: $words words"
done
ldd /usr/bin/zevConverter | grep -q libQt6 && fail "zevConverter links Qt" || pass "zevConverter links no Qt library"
# (The window is ended by a signal; its exit status says so, which is no failure here.)
maps=$(as_user env FOLYANT_UNATTENDED=0 DISPLAY=:99 QT_QPA_PLATFORM=offscreen sh -c \
  '/usr/bin/zevConverter >/dev/null 2>&1 & pid=$!; sleep 2; cat /proc/$pid/maps; kill $pid; wait $pid; exit 0')
grep -q "^.* /usr/lib/[^ ]*/folyant/zevConverter_dialogs.so$" <<<"$maps" \
  && pass "zevConverter's window loads the installed dialogs" || fail "zevConverter's window did not load its dialogs"

# A job of a name without an account (as a server opened to network clients
# takes them) is cancelled, and the queue prints on.
lpadmin -p "$queue" -o printer-op-policy=default
lp -d "$queue" -U fv-no-such-user -t orphan tests/data/cups-testfile.ps >/dev/null || fail "lp refused the orphan job"
lpadmin -p "$queue" -o printer-op-policy=authenticated
as_user lp -d "$queue" -t after tests/data/cups-testfile.ps >/dev/null || fail "lp refused the job after"
wait_for_jobs
[[ -f "/home/$user/PDF/after.pdf" ]] && pass "the job after a cancelled one prints" || fail "no PDF after the cancelled job"
lpstat -p "$queue" | grep -q disabled && fail "the queue was stopped" || pass "the queue still prints"
tail -c +"$((log_start + 1))" "$log" | grep -q 'has no account on this system' && pass "the log says why the job was cancelled" \
  || fail "the log does not say why the orphan job was cancelled"

# A job the interpreter stops on page 3: cancelled with the error as its state,
# its two pages kept under a name that says they are not the whole job.
as_user lp -d "$queue" -t broken tests/data/derived-error-undefined-acrobat6-p3.ps >/dev/null \
  || fail "lp refused the broken job"
wait_for_jobs
[[ -f "/home/$user/PDF/broken (incomplete).pdf" && ! -e "/home/$user/PDF/broken.pdf" ]] \
  && pass "a broken job is kept only as incomplete" || fail "broken job: $(ls "/home/$user/PDF" | tr '\n' ' ')"
broken=$(lpstat -W completed -o "$queue" | awk '{print $1}' | sed 's/.*-//' | sort -n | tail -n 1)
ipptool -tv "ipp://localhost/jobs/$broken" get-job-attributes.test 2>/dev/null \
  | grep -q "job-state .*= canceled" && pass "the broken job is cancelled, not completed" \
  || fail "the broken job was not cancelled"
tail -c +"$((log_start + 1))" "$log" | grep -q 'PostScript error undefined on page 3' \
  && pass "the log names the error and its page" || fail "the log does not name the broken job's error"

dpkg --purge folyant-velmo
lpstat -v "$queue" >/dev/null 2>&1 && fail "the queue is still there after purge" || pass "no queue after purge"
for left in /usr/lib/cups/backend/folyant "$settings" /usr/share/folyant/lib/cidfmap /usr/share/folyant \
  /etc/xdg/Quorvale; do
  [[ -e $left ]] && fail "left after purge: $left"
done
pass "purge checked"

if ((failures > 0)); then
  echo "real-install-test: $failures failure(s)" >&2
  exit 1
fi
echo "real-install-test: all passed"
