# Sourced by every end-to-end test: the shared display and prefix of the run, a fresh book
# folder, and short helpers around the driver. ctest passes E2E_STATE and the tool paths.
set -Eeuo pipefail
# Nothing ends a test without a word: a command that fails outside a test's own checks names
# itself, its exit status and where it was called from.
failed_step() {
  local status=$1 command=$2 i file line
  echo "FAIL: a step ended with status $status ($command), called from:" >&2
  for ((i = 1; i < ${#FUNCNAME[@]}; i++)); do
    file=${BASH_SOURCE[i]} line=${BASH_LINENO[i - 1]}
    echo "  $(basename "$file"):$line: $(sed -n "${line}s/^ *//p" "$file" 2>/dev/null)" >&2
  done
  [ -z "${BOOK:-}" ] || screenshot "$BOOK/failure.png"
}
trap 'failed_step $? "$BASH_COMMAND"' ERR
: "${E2E_STATE:?run through ctest (E2E_STATE unset)}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$E2E_STATE/prefix
DISPLAY=$(cat "$E2E_STATE/display"); export DISPLAY
KALBOOK_EXE=$(realpath "$KALBOOK_EXE")
KALDRIVER=$(realpath "$KALDRIVER")
KALHOST=$(realpath "$KALHOST")
SETTINGS=$WINEPREFIX/drive_c/windows/zuadr.ini
TEST_NAME=$(basename "$0" .sh)
BOOK=$E2E_STATE/work/$TEST_NAME
rm -rf "$BOOK"; mkdir -p "$BOOK"; cd "$BOOK"
# No test starts with the user's own settings, nor with the address files an earlier hand-off left
# or a folder a test put in their place to see the write refused.
WINE_USER_DIR=$WINEPREFIX/drive_c/users/$(id -un)
USER_SETTINGS_DIR=$WINE_USER_DIR/AppData/Roaming/kalbook
rm -rf "$SETTINGS" "$USER_SETTINGS_DIR"
for place in "$WINEPREFIX/drive_c" "$WINE_USER_DIR/Temp"; do
  for name in TempFile Temp0.adr; do rm -f "$place/$name"; [ ! -d "$place/$name" ] || rmdir "$place/$name"; done
done
STARTED=()

fail() { echo "FAIL: $*" >&2; screenshot "$BOOK/failure.png"; exit 1; }
pass() { echo "PASS: $*"; }
screenshot() { import -display "$DISPLAY" -window root "$1" 2>/dev/null || true; }

stop_started() {
  for pid in "${STARTED[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${STARTED[@]}"; do wait "$pid" 2>/dev/null || true; done
  STARTED=()
}
trap stop_started EXIT

# On a loaded machine Wine now and then ends a program it was asked to start with status 1 and not
# a word (its messages are off). Says so when STATUS and the program's output in LOG are that.
# Usage: wine_did_not_start STATUS LOG NAME
wine_did_not_start() {
  [ "$1" = 1 ] && [ ! -s "$2" ] || return 1
  echo "  ($3 : Wine did not start it; once more)" >&2
}

# The driver's own reason for a failure goes to stderr, so a failed step says what it saw. Its
# stderr goes through a file: a Wine system process the driver happens to start (explorer.exe
# /desktop, services.exe) keeps the stderr it was given, and a pipe would then never close.
driver() {
  local err status=0
  err=$(mktemp "$E2E_STATE/work/driver.XXXXXX")
  # The driver's own status, whatever becomes of tr.
  # Its waits get a minute, not its own 10 seconds: a save flushed to a disk still busy with a
  # build can hold the program that long. A -t of the caller comes later and wins.
  wine "$KALDRIVER" -t 60 "$@" 2>"$err" | tr -d '\r' || status=${PIPESTATUS[0]}
  # The driver names every failure of its own, so a silent one is Wine's: once more, with
  # Wine's errors on.
  if wine_did_not_start "$status" "$err" "driver $*"; then
    status=0
    WINEDEBUG=err+all wine "$KALDRIVER" -t 60 "$@" 2>"$err" | tr -d '\r' || status=${PIPESTATUS[0]}
  fi
  # Wine's own words count too (a driver that could not start or crashed says nothing itself).
  [ "$status" = 0 ] || sed "s|^|  (driver $* : status $status) |" "$err" >&2
  rm -f "$err"
  return "$status"
}

# Starts PROGRAM ARGS in FOLDER in the background and returns once the command UP says it runs;
# LAUNCHED_PID is its Wine process, and what it and Wine said goes to LOG. A start Wine ended
# without a word is made once more, with Wine's errors on. Usage: launch UP LOG FOLDER PROGRAM
# ARGS...
launch() {
  local up=$1 log=$2 folder=$3 attempt status debug=$WINEDEBUG
  shift 3
  for attempt in 1 2; do
    (cd "$folder" && WINEDEBUG=$debug exec wine "$@" >"$log" 2>&1) &
    LAUNCHED_PID=$!
    STARTED+=("$LAUNCHED_PID")
    local deadline=$((SECONDS + 60))
    while kill -0 "$LAUNCHED_PID" 2>/dev/null; do
      if eval "$up"; then return 0; fi
      sleep 0.1
      [ "$SECONDS" -lt "$deadline" ] || fail "$(basename "$1") still not running after 60 s; it and Wine said: $(cat "$log")"
    done
    if eval "$up"; then return 0; fi  # it ran, and has ended already
    wait "$LAUNCHED_PID" && status=0 || status=$?
    [ "$status" != 0 ] || return 0
    if [ "$attempt" = 1 ] && wine_did_not_start "$status" "$log" "$(basename "$1")"; then
      debug=err+all
      continue
    fi
    fail "$(basename "$1") ended with status $status before it ran; it and Wine said: $(cat "$log")"
  done
}

# The address book takes its single-copy lock before anything else.
book_running() { wine "$KALDRIVER" -t 2 mutex 'Local\ZuAddressBook.SingleCopy' >/dev/null 2>&1; }

# Starts the address book in FOLDER (LAST_PID is its Wine process); KALBOOK_EXE may name
# another copy of the program.
start_book_in() {
  local folder=$1
  shift
  launch book_running "$E2E_STATE/work/$TEST_NAME.book.log" "$folder" "$KALBOOK_EXE" "$@"
  LAST_PID=$LAUNCHED_PID
}

start_book() { start_book_in "$BOOK" "$@"; }

host_running() {
  HOST_WINDOW=$(wine "$KALDRIVER" -t 2 find "" "Port Settings(Velmora Quillon)" 2>/dev/null | tr -d '\r')
}

start_host() {
  HOST_LOG=$BOOK/host.log
  rm -f "$HOST_LOG"
  # winepath may be the run's first Wine program: the system processes it starts keep its stderr.
  launch host_running "$E2E_STATE/work/$TEST_NAME.host.log" "$BOOK" "$KALHOST" "$(winepath -w "$HOST_LOG" </dev/null 2>/dev/null)"
  HOST_PID=$LAUNCHED_PID
}

main_window() { driver find ZuAddressBook "Address Book"; }
# The X window of the visible window titled TITLE that is at least 100 pixels wide (a message
# box of the same title is narrower); empty when there is none. The loop's status is its last
# window's, so an "if" keeps a narrow last one from failing the pipeline, and grep and sed read
# all their input (grep -q and head would cut their writer off).
x_window() {
  { xdotool search --onlyvisible --name "^$1\$" || true; } | while read -r w; do
    if xdotool getwindowgeometry "$w" | grep 'Geometry: [0-9]\{3,\}x' >/dev/null; then echo "$w"; fi
  done | sed -n 1p
}

# Returns once the program's thread has taken a message again (fails when the window is gone):
# whatever it was handling when a window of it closed has been finished by then.
settled() { driver send "$1" 0 0 0 >/dev/null; }

# Waits until the Wine process of the address book has ended.
wait_exit() {
  for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}

wait_for() { for _ in $(seq 1 "${2:-50}"); do if eval "$1"; then return 0; fi; sleep 0.2; done; return 1; }

setting() { [ -f "$SETTINGS" ] && tr -d '\r' < "$SETTINGS" | sed -n "/^\[$1\]/,/^\[/s/^$2=//p"; }

# A Windows path for a file of the book folder.
winpath() { winepath -w "$BOOK/$1" 2>/dev/null; }

# A file's bytes as hex, and the bytes a printf format gives, as hex.
bytes() { od -An -tx1 -v "$1" | tr -d ' \n'; }
hex() { printf "$1" | od -An -tx1 -v | tr -d ' \n'; }
# Waits until FILE holds exactly the bytes of the printf format.
expect_file() {
  wait_for "[ -s '$1' ] && [ \"\$(bytes '$1')\" = '$(hex "$2")' ]" ||
    fail "$1 is $(bytes "$1" 2>/dev/null | head -c 400), want $(hex "$2" | head -c 400)"
}
expect_book() { expect_file personal.inf "$1"; }

# Writes "personal.inf" from "description|email|names|memo" arguments.
write_persons() {
  python3 - "$BOOK/personal.inf" "$@" <<'PY'
import struct, sys
out = struct.pack('<I', len(sys.argv) - 2)
for record in sys.argv[2:]:
    out += b''.join(f.encode('latin-1') + b'\0' for f in record.split('|'))
open(sys.argv[1], 'wb').write(out)
PY
}

# Writes "group.inf" from "name|memo|member,member..." arguments.
write_groups() {
  python3 - "$BOOK/group.inf" "$@" <<'PY'
import struct, sys
out = struct.pack('<I', len(sys.argv) - 2)
for record in sys.argv[2:]:
    name, memo, members = record.split('|')
    names = [m.encode('latin-1') for m in members.split(',') if m]
    body = b''.join(m + b'\0' for m in names)
    out += name.encode('latin-1') + b'\0' + memo.encode('latin-1') + b'\0' + struct.pack('<II', len(names), len(body)) + body
open(sys.argv[1], 'wb').write(out)
PY
}

# The list box's item data (ItemRefs) as hex, one per line.
list_data() { driver lb-items "$1" "$2" | tail -n +2 | awk '{print $3}'; }
# Readers here take all their input: one that stops early (head, grep -q) would cut off the
# writer, and under pipefail that fails the whole pipeline by chance.
list_count() { driver lb-items "$1" "$2" | sed -n 1p; }

# The two data files in readable form: "P description|email|names|memo" and
# "G name|memo|M|L|member,member" lines, in file order.
book_summary() {
  python3 - "$BOOK/personal.inf" "$BOOK/group.inf" <<'PY'
import struct, sys
def strings(data, at, n):
    out = []
    for _ in range(n):
        end = data.index(b'\0', at)
        out.append(data[at:end].decode('latin-1')); at = end + 1
    return out, at
try:
    p = open(sys.argv[1], 'rb').read()
    at = 4
    for _ in range(struct.unpack_from('<I', p)[0]):
        fields, at = strings(p, at, 4); print('P ' + '|'.join(fields))
    g = open(sys.argv[2], 'rb').read()
    at = 4
    for _ in range(struct.unpack_from('<I', g)[0]):
        (name, memo), at = strings(g, at, 2)
        m, l = struct.unpack_from('<II', g, at); at += 8
        members, _ = strings(g, at, m); at += l
        print('G %s|%s|%d|%d|%s' % (name, memo, m, l, ','.join(members)))
except (OSError, ValueError, struct.error) as e:
    print('unreadable: %s' % e)
PY
}

# Waits for the import's report, compares its text with the printf format, and closes it.
expect_report() {
  local want got box
  want=$(printf "$1")
  got=$(driver msgbox "Address Book") || fail "no import report"
  [ "$got" = "$want" ] || fail "import report is:
$got
want:
$want"
  box=$(driver find "#32770" "Address Book") || fail "no report box"
  driver click "$box" 1
  driver gone "$box" || fail "report box stayed"
}
