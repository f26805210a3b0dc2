#!/bin/bash
# Started with /o and /p beside the host window: recipients collected with ">>To", removed with
# "<<Delete", and handed to the host by the send button, which ends the program.
source "$(dirname "$0")/lib.sh"
drive_c=$WINEPREFIX/drive_c

open_picker() {
  start_book "$1"
  book_pid=$LAST_PID
  main=$(main_window) || fail "no main window in $1"
  box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box in $1"
}

# Entry-list indexes of the items whose ItemRef is given, in the order given.
indexes_of() {
  local data; data=$(list_data "$main" 190)
  for ref in "$@"; do echo "$data" | grep -n -x "$ref" | cut -d: -f1 | awk '{print $1 - 1}'; done
}

start_host
write_persons 'Ann|ann@x|Ann;;Lee|' 'Bob|bob@y|;;|' 'Cy||;;|'
write_groups 'Team||Ann,Cy' 'Nobody||'

echo "== /o: Mail button, enabling, >>To, <<Delete and the hand-off"
printf '[InBox]\nattribute=26\nsender=90\ndate=110\nsubject=300\n' > "$SETTINGS"
open_picker /o
[ "$(driver text "$box" 188)" = Mail ] || fail "send button reads '$(driver text "$box" 188)'"
[ "$(driver enabled "$box" 188)" = 0 ] && [ "$(driver enabled "$box" 187)" = 0 ] ||
  fail "send or delete enabled with no recipients"
# Persons are kind 0, groups kind 1: Bob (slot 1), Team (group slot 0), Ann (slot 0), Nobody.
driver lb-select "$main" 190 $(indexes_of 0x10000 0x1 0x0 0x10001)
driver click "$box" 186
wait_for '[ "$(list_count "$box" 189)" = 4 ]' || fail "recipients: $(list_count "$box" 189)"
driver click-sync "$box" 186 || fail "the second >>To was not handled"
[ "$(list_count "$box" 189)" = 4 ] || fail ">>To twice added $(list_count "$box" 189)"
[ "$(driver enabled "$box" 188)" = 1 ] || fail "send disabled with recipients"
# The recipient list keeps the entry list's order; drop the empty group again.
recipients=$(list_data "$box" 189)
nobody=$(echo "$recipients" | grep -n -x 0x10001 | cut -d: -f1)
driver lb-select "$box" 189 $((nobody - 1))
driver click "$box" 187
wait_for '[ "$(list_count "$box" 189)" = 3 ]' || fail "<<Delete left $(list_count "$box" 189)"
expected=""
for ref in $(list_data "$box" 189); do
  case $ref in 0x0) expected+="ann@x," ;; 0x10000) expected+="bob@y," ;; 0x1) expected+="ann@x,," ;; esac
done
rm -f "$drive_c/TempFile"
driver click "$box" 188
wait_exit "$book_pid" || fail "the send button did not end the program"
wait_for 'grep -q "name=c:.TempFile" "$HOST_LOG"' || fail "no hand-off: $(cat "$HOST_LOG")"
line=$(grep SENDADDR "$HOST_LOG" | tr -d '\r')
want="SENDADDR name=c:\\TempFile length=${#expected} size=$(( ${#expected} + 1 )) bytes=$expected\\x00"
[ "$line" = "$want" ] || fail "host got '$line', want '$want'"
[ "$(setting InBox sender) $(setting InBox date) $(setting InBox subject)" = "90 110 300" ] ||
  fail "the send button changed the InBox widths: $(cat "$SETTINGS")"
pass "/o hands the addresses over"

echo "== /p: Set button; overflowing addresses open numbered files in order"
long=$(printf 'x%.0s' $(seq 1 58))
write_persons "A|${long}@a|;;|" "B|${long}@b|;;|" "C|${long}@c|;;|" "D|${long}@d|;;|"
rm -f "$drive_c/group.inf" "$BOOK/group.inf" "$HOST_LOG"
open_picker /p
[ "$(driver text "$box" 188)" = Set ] || fail "send button reads '$(driver text "$box" 188)'"
driver lb-select "$main" 190 0 1 2 3
driver click "$box" 186
wait_for '[ "$(list_count "$box" 189)" = 4 ]' || fail "recipients: $(list_count "$box" 189)"
driver click "$box" 188
wait_exit "$book_pid" || fail "the send button did not end the program"
wait_for '[ "$(grep -c SENDADDR "$HOST_LOG")" = 2 ]' || fail "hand-off: $(cat "$HOST_LOG")"
names=$(grep SENDADDR "$HOST_LOG" | sed 's/.*name=\([^ ]*\) length=\([0-9]*\) .*/\1 \2/' | tr -d '\r' | tr '\n' ' ')
[ "$names" = 'c:\Temp0.adr 183 c:\TempFile 61 ' ] || fail "files announced: $names"
pass "/p splits at the buffer's end"

echo "== deleting an entry that is a recipient drops it from the recipients first"
write_persons 'Ann|ann@x|;;|' 'Bob|bob@y|;;|'
rm -f "$BOOK/group.inf"
open_picker /o
driver lb-select "$main" 190 0 1
driver click "$box" 186
wait_for '[ "$(list_count "$box" 189)" = 2 ]' || fail "recipients: $(list_count "$box" 189)"
driver lb-select "$main" 190 0
driver command "$main" 105
wait_for '[ "$(list_count "$main" 190)" = 1 ]' || fail "Ann was not deleted"
[ "$(list_data "$box" 189)" = 0x10000 ] || fail "recipients after the delete: $(list_data "$box" 189)"
pass "delete drops recipients"

echo "== with the host window gone, the files are written and nothing is posted"
rm -f "$drive_c/TempFile" "$HOST_LOG"
driver post "$HOST_WINDOW" WM_CLOSE 0 0
wait_exit "$HOST_PID" || fail "the host did not close"
driver click "$box" 188
wait_exit "$book_pid" || fail "the send button did not end the program"
[ "$(od -An -c "$drive_c/TempFile" | tr -d ' \n')" = 'bob@y,\0' ] || fail "TempFile: $(od -An -c "$drive_c/TempFile")"
[ ! -s "$HOST_LOG" ] || ! grep -q SENDADDR "$HOST_LOG" || fail "something was posted: $(cat "$HOST_LOG")"
pass "host gone"
