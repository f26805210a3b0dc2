# Sourced by the print test: a CUPS scheduler of the test's own (private configuration, spool,
# state and socket; no system service), with one PDF printer "KalPDF" as its default.
# start_scheduler sets CUPS_SERVER for the programs started after it; stop_scheduler ends it.
# Where the scheduler cannot run here, start_scheduler returns 1 and SCHEDULER_PROBLEM says why.
# KALBOOK_CUPSD names the scheduler's program where it is not /usr/sbin/cupsd.
CUPSD=${KALBOOK_CUPSD:-/usr/sbin/cupsd}

# Why this machine cannot run the scheduler and its PDF printer, or nothing.
scheduler_problem() {
  local need
  [ "$(id -u)" = 0 ] || { echo "the cups-pdf backend runs only for a scheduler started as root"; return; }
  for need in "$CUPSD" /usr/lib/cups/backend/cups-pdf /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd; do
    [ -e "$need" ] || { echo "$need is missing (Debian packages cups and printer-driver-cups-pdf)"; return; }
  done
  for need in lpstat pdftotext; do
    command -v "$need" >/dev/null || { echo "$need is missing (Debian packages cups-client and poppler-utils)"; return; }
  done
}

start_scheduler() {
  SCHEDULER_PROBLEM=$(scheduler_problem)
  [ -z "$SCHEDULER_PROBLEM" ] || return 1
  CUPS_DIR=$(mktemp -d /tmp/kalcups.XXXXXX)  # short: the socket path must fit a sockaddr
  chmod 755 "$CUPS_DIR"  # the filters run as the scheduler's own unprivileged user
  local d=$CUPS_DIR
  mkdir -p "$d/etc/ppd" "$d/spool" "$d/tmp" "$d/cache" "$d/state" "$d/log"
  cat >"$d/etc/cups-files.conf" <<CONF
ServerRoot $d/etc
RequestRoot $d/spool
TempDir $d/tmp
CacheDir $d/cache
StateDir $d/state
ErrorLog $d/log/error_log
AccessLog $d/log/access_log
PageLog $d/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
CONF
  cat >"$d/etc/cupsd.conf" <<CONF
Listen $d/cups.sock
LogLevel info
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
  cp /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd "$d/etc/ppd/KalPDF.ppd"
  cat >"$d/etc/printers.conf" <<CONF
<DefaultPrinter KalPDF>
Info Address book test printer
DeviceURI cups-pdf:/
State Idle
Accepting Yes
Shared No
</DefaultPrinter>
CONF
  "$CUPSD" -f -c "$d/etc/cupsd.conf" -s "$d/etc/cups-files.conf" >"$d/log/cupsd.out" 2>&1 &
  CUPSD_PID=$!
  export CUPS_SERVER=$d/cups.sock
  wait_for 'lpstat -d 2>/dev/null | grep -q KalPDF || ! kill -0 "$CUPSD_PID" 2>/dev/null' 100
  lpstat -d 2>/dev/null | grep -q KalPDF && return 0
  local said status
  said=$(cat "$d/log/cupsd.out" "$d/log/error_log" 2>/dev/null | tail -5)
  if kill -0 "$CUPSD_PID" 2>/dev/null; then
    SCHEDULER_PROBLEM="the test's CUPS scheduler runs but offers no printer KalPDF${said:+: $said}"
  else
    wait "$CUPSD_PID" && status=0 || status=$?
    SCHEDULER_PROBLEM="the test's CUPS scheduler $CUPSD ended with status $status${said:+: $said}"
  fi
  stop_scheduler
  return 1
}

stop_scheduler() {
  [ -n "${CUPSD_PID:-}" ] || return 0
  kill "$CUPSD_PID" 2>/dev/null || true
  wait "$CUPSD_PID" 2>/dev/null || true
  CUPSD_PID=
  rm -rf "$CUPS_DIR"
}

# Where cups-pdf puts the PDFs of jobs from this user ("Out" of its configuration, ${HOME}
# being the user's home directory).
pdf_folder() {
  local out home
  out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -1)
  home=$(getent passwd "$(id -un)" | cut -d: -f6)
  out=${out:-'${HOME}/PDF'}
  echo "${out//\$\{HOME\}/$home}"
}

# Waits for the scheduler to complete job number $1 and prints the path of its PDF (one
# written after the scheduler started: job numbers start again with every scheduler).
job_pdf() {
  local folder; folder=$(pdf_folder)
  wait_for "lpstat -W completed -o 2>/dev/null | grep -q '^KalPDF-$1 '" 150 ||
    fail "print job $1 did not complete: $(lpstat -o 2>&1; tail -5 "$CUPS_DIR/log/error_log")"
  local find_it="find '$folder' -maxdepth 1 -name '*-job_$1.pdf' -newer '$CUPS_DIR/etc/printers.conf'"
  wait_for "[ -n \"\$($find_it)\" ]" 100 || fail "no PDF of job $1 in $folder"
  eval "$find_it" | head -1
}

completed_jobs() { lpstat -W completed -o 2>/dev/null | grep -c '^KalPDF-' || true; }
