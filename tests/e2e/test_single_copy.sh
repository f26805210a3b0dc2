#!/bin/bash
# One copy per session from the first instant: while a first copy still waits on the Retry/Cancel
# box of a held "personal.inf" (no main window yet), a second start is refused and ends; after
# the file is released and Retry pressed, exactly one main window shows the whole book.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/holder.sh"

# The handles of every message box titled "Address Book".
boxes() { driver -a find-all "#32770" "Address Book"; }
box_saying() {  # TEXT: the first message box whose text holds TEXT
  local box
  for box in $(boxes); do
    if grep -qF "$1" <<<"$(driver box-text "$box")"; then echo "$box"; return 0; fi
  done
  return 1
}

write_persons "Ann|ann@x|;;|" "Bob|||"
write_groups "Team||Ann,Bob"
persons_before=$(bytes personal.inf)
groups_before=$(bytes group.inf)

echo "== the first copy waits on the Retry/Cancel box of the held file"
hold personal.inf
start_book
first=$LAST_PID
wait_for 'box_saying "personal.inf cannot be read." >/dev/null' ||
  fail "first copy: no Retry/Cancel box; boxes: $(boxes | tr '\n' ' ')"
retry_box=$(box_saying "personal.inf cannot be read.")
[ "$(driver -a count ZuAddressBook -)" = 0 ] || fail "a main window exists behind the Retry box"

echo "== a second start is refused and ends with exit code 0"
start_book
second=$LAST_PID
wait_for 'box_saying "Already Opening" >/dev/null' ||
  fail "second copy: no 'Already Opening' box; texts: $(for b in $(boxes); do driver box-text "$b"; done)"
refusal=$(box_saying "Already Opening")
refusal_text=$(driver box-text "$refusal")
[ "$(printf '%s' "$refusal_text" | tr -d '\n')" = "Can't Open!!Already Opening" ] ||
  fail "refusal text: '$refusal_text'"
[ "$(driver -a count ZuAddressBook -)" = 0 ] || fail "the second start made a main window"
driver click "$refusal" 1 || fail "could not press OK on the refusal"
wait_exit "$second" || fail "the refused copy did not end"
wait "$second" && code=0 || code=$?
[ "$code" = 0 ] || fail "the refused copy ended with exit code $code"
kill -0 "$first" 2>/dev/null || fail "the first copy ended with the second"
pass "second start refused while the first waits"

echo "== release and Retry: one main window with the whole book"
release
driver click "$retry_box" 4 || fail "could not press Retry"
main=$(main_window) || fail "no main window after Retry"
wait_for '[ "$(list_count "$main" 190)" = 3 ]' || fail "entries: $(list_count "$main" 190), want 3"
[ "$(driver -a count ZuAddressBook -)" = 1 ] || fail "main windows: $(driver -a count ZuAddressBook -)"
driver command "$main" 110 || fail "could not send Exit"
wait_exit "$first" || fail "Exit did not end the first copy"
[ "$(bytes personal.inf)" = "$persons_before" ] || fail "personal.inf changed: $(bytes personal.inf)"
[ "$(bytes group.inf)" = "$groups_before" ] || fail "group.inf changed: $(bytes group.inf)"
pass "one main window, book whole"

echo "== the lock goes with the program: a new start after the exit runs"
start_book
main=$(main_window) || fail "no main window on a start after the first copy ended"
driver command "$main" 110 || fail "could not send Exit"
wait_exit "$LAST_PID" || fail "Exit did not end the program"
echo "single copy: all checks passed"
