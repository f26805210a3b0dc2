#!/bin/bash
# Killed while saving: on a book of 65,535 persons, add a person and kill the program (SIGKILL)
# at a random moment after OK, again and again. "personal.inf" must always be exactly the old
# book or the new one. Each round starts from the full book again (one more person is all a
# full book takes). ROUNDS (default 12, about 3 seconds each) sets how often.
source "$(dirname "$0")/lib.sh"

rounds=${ROUNDS:-12}

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
  driver command "$main" 100
  # A full book keeps a loaded machine busy: the dialog gets a second wait before the round fails.
  dialog=$(driver find-dialog Properties 105) || dialog=$(driver find-dialog Properties 105) ||
    fail "$1: no person dialog"
  driver settext "$dialog" 100 "$1"
  driver click "$dialog" 1
}

olds=0
news=0
midway=0
for round in $(seq 1 "$rounds"); do
  cp full.inf personal.inf
  cp full.inf old.inf
  rm -f personal.inf.tmp
  expected_new old.inf "Killed $round" new.inf
  add_person "Killed $round"
  sleep "0.$(printf '%02d' $((RANDOM % 10)))"  # around the save: old and new books both occur
  kill -KILL "$LAST_PID"
  wait "$LAST_PID" 2>/dev/null || true
  wait_for '[ "$(driver -a count ZuAddressBook -)" = 0 ]' || fail "round $round: the killed window stayed"
  [ -e personal.inf.tmp ] && midway=$((midway + 1))
  if cmp -s personal.inf old.inf; then
    olds=$((olds + 1))
  elif cmp -s personal.inf new.inf; then
    news=$((news + 1))
  else
    fail "round $round: personal.inf is neither the old nor the new book ($(stat -c %s personal.inf) bytes)"
  fi
done
pass "$rounds kills: the old book $olds times, the new book $news times, never anything else" \
  "(killed with the temporary file written $midway times)"

echo "== a save after the kills leaves no temporary file and the book holds every person"
cp full.inf personal.inf
[ -e personal.inf.tmp ] || printf 'left by a kill' > personal.inf.tmp
add_person "Last one"
driver gone "$dialog" || fail "the person dialog stayed"
driver command "$main" 110
wait_exit "$LAST_PID" || fail "did not exit"
[ ! -e personal.inf.tmp ] || fail "a temporary file stayed"
expected_new full.inf "Last one" new.inf
cmp -s personal.inf new.inf || fail "the book after the last save is not the full book and the last person"
pass "clean save after the kills"
