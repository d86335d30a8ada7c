# A cupsd of a test's own, beside the machine's: a server or a client machine
# on the loopback address. Sourced after scripts/lib/checks.sh; the caller
# sets root (a folder of root's, mode 0755), build (for FOLYANT_CONVERTER)
# and pids (the cupsd started go there, for its cleanup to end).

# Whether nothing listens on a TCP port.
port_free() { ! ss -Hltn "sport = :$1" 2>/dev/null | grep -q .; }

# A cupsd of its own in $root/NAME, heard on its socket and on 127.0.0.1:PORT
# alone, with the system's filters and helpers; extra cupsd.conf lines follow.
start_private_cupsd() {
  local name=$1 port=$2 extra=$3 home="$root/$1"
  mkdir -p "$home"/{conf/ppd,conf/ssl,spool,cache,state,log,bin/backend,bin/filter,etc/Quorvale,tmp,run,slots}
  chgrp lp "$home/tmp"
  chmod 1770 "$home/tmp"
  chmod 700 "$home/slots"
  for part in daemon cgi-bin notifier monitor driver command; do
    [[ -e /usr/lib/cups/$part ]] && ln -s "/usr/lib/cups/$part" "$home/bin/$part"
  done
  for filter in /usr/lib/cups/filter/*; do
    [[ $(basename "$filter") == folyant-pdftopdf ]] || ln -s "$filter" "$home/bin/filter/"
  done
  cp backend/folyant-pdftopdf "$home/bin/filter/"
  cat >"$home/conf/cups-files.conf" <<EOF
ServerRoot $home/conf
ServerBin $home/bin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
RequestRoot $home/spool
TempDir $home/tmp
StateDir $home/state
CacheDir $home/cache
AccessLog $home/log/access_log
ErrorLog $home/log/error_log
PageLog $home/log/page_log
SetEnv FOLYANT_SYSCONFDIR $home/etc
SetEnv FOLYANT_CONVERTER $build/bin/Folyant_Standard
SetEnv FOLYANT_RUNTIME_ROOT $home/run
SetEnv FOLYANT_CONVERSION_SLOTS $home/slots
EOF
  # A server shares as "cupsctl --share-printers" leaves a Debian cupsd.conf,
  # heard on the test's port (Port) but announced nowhere (no DNS-SD), so that
  # prninstall --shared finds sharing on and adds only its policy. A client
  # is heard on the loopback address alone.
  local listen="Listen 127.0.0.1:$port" browsing="Browsing Off"
  if [[ $name == server ]]; then
    listen="Port $port"
    browsing="Browsing On"
  fi
  cat >"$home/conf/cupsd.conf" <<EOF
LogLevel info
MaxJobs 500
Listen $home/cups.sock
$listen
$browsing
BrowseLocalProtocols none
DefaultAuthType Basic
WebInterface No
<Location />
  Order allow,deny
  Allow @LOCAL
</Location>
<Location /admin>
  Order allow,deny
</Location>
<Location /admin/conf>
  AuthType Default
  Require user @SYSTEM
  Order allow,deny
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
$extra
EOF
  /usr/sbin/cupsd -f -c "$home/conf/cupsd.conf" -s "$home/conf/cups-files.conf" </dev/null >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 1 100); do
    CUPS_SERVER=$home/cups.sock lpstat -r 2>/dev/null | grep -q 'is running' && return 0
    sleep 0.1
  done
  fail "the $name cupsd did not start"
  exit 1
}


# The policy of a client machine's queue: its users print with a password,
# which its ipp backend hands on to the server.
client_policy="<Policy with-password>
  <Limit Create-Job Print-Job Print-URI Validate-Job>
    AuthType Basic
    Require valid-user
    Order deny,allow
  </Limit>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>"
