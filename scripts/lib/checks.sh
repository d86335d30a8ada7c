# What the test scripts that run as root share: counting their checks, and
# the system's cupsd. Sourced after the script's cd to the project.

failures=0
passes=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
pass() {
  echo "ok: $*"
  passes=$((passes + 1))
}
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

cupsd_runs() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }

# The system's cupsd, started for the test when it is not running; the
# script's cleanup ends the one in started_cupsd.
started_cupsd=
ensure_cupsd() {
  if ! cupsd_runs; then
    /usr/sbin/cupsd -f &
    started_cupsd=$!
    for _ in $(seq 1 100); do cupsd_runs && break; sleep 0.1; done
  fi
  cupsd_runs || { fail "cupsd does not answer"; exit 1; }
}
