#!/bin/bash
# Killed while saving: on a book of 65,535 persons, add a person and kill the program (SIGKILL)
# some time after OK, again and again. "personal.inf" must always be exactly the old book or the
# new one, and both must occur. The delay moves toward the outcome not seen yet (later while only
# the old book occurs, earlier while only the new one does) and, once both have, varies between
# the two, so a loaded or an idle machine still meets both within a bounded number of rounds.
# Each round starts from the full book again (one more person is all a full book takes).
# ROUNDS (default 8, about 3 seconds each) is the least number of rounds, MOST_ROUNDS (30) the most.
source "$(dirname "$0")/lib.sh"

rounds=${ROUNDS:-8}
most_rounds=${MOST_ROUNDS:-30}

python3 - "$BOOK/personal.inf" <<'PY'
import struct, sys
records = []
for n in range(65535):
    records.append(b'Person %05d\0p%d@example.com\0First;;Last %d\0%s\0' % (n, n, n, b'memo' if n % 3 == 0 else b''))
open(sys.argv[1], 'wb').write(struct.pack('<I', len(records)) + b''.join(records))
PY
cp personal.inf full.inf

# The expected book after adding DESCRIPTION to the book in OLD, written to NEW.
expected_new() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
old = open(sys.argv[1], 'rb').read()
count = struct.unpack_from('<I', old)[0]
new = struct.pack('<I', count + 1) + old[4:] + sys.argv[2].encode() + b'\0\0;;\0\0'
open(sys.argv[3], 'wb').write(new)
PY
}

# Starts the book on the file there and presses OK on a new person named $1.
add_person() {
  start_book
  main=$(driver -t 60 find ZuAddressBook "Address Book") || fail "$1: no main window"
  driver command "$main" 100 || fail "$1: could not send New Address"
  # A full book keeps a loaded machine busy: the dialog gets a longer wait.
  dialog=$(driver -t 30 find-dialog Properties 105) || fail "$1: no person dialog"
  driver -t 30 settext "$dialog" 100 "$1" || fail "$1: could not type the description"
  driver click "$dialog" 1 || fail "$1: could not press OK"
}

# Milliseconds as seconds for sleep.
seconds() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }

# The next delay: later while only the old book occurred, earlier while only the new one did,
# else anywhere between the latest delay that gave the old book and the earliest that gave the new.
next_delay() {
  if [ "$news" = 0 ]; then
    delay=$((delay * 2 + 20)); [ "$delay" -le 8000 ] || delay=8000
  elif [ "$olds" = 0 ]; then
    delay=$((delay / 2))
  else
    local low=$((latest_old < earliest_new ? latest_old : earliest_new))
    local high=$((latest_old < earliest_new ? earliest_new : latest_old))
    delay=$((low + RANDOM % (high - low + 1)))
  fi
}

olds=0
news=0
midway=0
delay=100
latest_old=0
earliest_new=8000
delays=""
round=0
while [ "$round" -lt "$most_rounds" ]; do
  round=$((round + 1))
  cp full.inf personal.inf
  cp full.inf old.inf
  rm -f personal.inf.tmp
  expected_new old.inf "Killed $round" new.inf
  add_person "Killed $round"
  sleep "$(seconds "$delay")"
  kill -KILL "$LAST_PID"
  wait "$LAST_PID" 2>/dev/null || true
  wait_for '[ "$(driver -a count ZuAddressBook -)" = 0 ]' || fail "round $round: the killed window stayed"
  [ -e personal.inf.tmp ] && midway=$((midway + 1))
  if cmp -s personal.inf old.inf; then
    olds=$((olds + 1)); delays+=" ${delay}:old"
    [ "$delay" -le "$latest_old" ] || latest_old=$delay
  elif cmp -s personal.inf new.inf; then
    news=$((news + 1)); delays+=" ${delay}:new"
    [ "$delay" -ge "$earliest_new" ] || earliest_new=$delay
  else
    fail "round $round (killed after $delay ms): personal.inf is neither the old nor the new book ($(stat -c %s personal.inf) bytes)"
  fi
  if [ "$round" -ge "$rounds" ] && [ "$olds" -gt 0 ] && [ "$news" -gt 0 ]; then break; fi
  next_delay
done
echo "delays in ms and outcomes:$delays"
[ "$olds" -gt 0 ] && [ "$news" -gt 0 ] ||
  fail "after $round rounds the old book occurred $olds times and the new one $news times; both must"
pass "$round kills: the old book $olds times, the new book $news times, never anything else" \
  "(killed with the temporary file written $midway times)"

echo "== a save after the kills leaves no temporary file and the book holds every person"
cp full.inf personal.inf
[ -e personal.inf.tmp ] || printf 'left by a kill' > personal.inf.tmp
add_person "Last one"
driver gone "$dialog" || fail "the person dialog stayed"
driver command "$main" 110 || fail "could not send Exit"
wait_exit "$LAST_PID" || fail "did not exit"
[ ! -e personal.inf.tmp ] || fail "a temporary file stayed"
expected_new full.inf "Last one" new.inf
cmp -s personal.inf new.inf || fail "the book after the last save is not the full book and the last person"
pass "clean save after the kills"
