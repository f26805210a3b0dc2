#!/bin/bash
# Saves that cannot complete while another program holds "personal.inf": the message, the old
# file untouched, the change kept and written with the next save; at close the save is tried
# once more and the user is asked before unsaved changes are lost.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/holder.sh"

new_person() {
  driver command "$main" 100
  local dialog
  dialog=$(driver find-dialog Properties 105) || fail "person dialog did not open"
  driver settext "$dialog" 100 "$1"
  driver click "$dialog" 1
  DIALOG=$dialog
}

expect_failed_save() {
  local box text
  box=$(message_box) || fail "no message for the failed save"
  text=$(message_text)
  echo "$text" >> "$BOOK/messages.txt"
  grep -q 'personal.inf could not be saved.' <<<"$text" || fail "message: $text"
  grep -q 'Your change is kept while the program runs and will be written with the next save.' <<<"$text" ||
    fail "message: $text"
  [ "$(echo "$text" | sed -n 3p)" != "" ] || fail "no system words in: $text"
  driver click "$box" 1
  driver gone "$box" || fail "the message stayed"
}

persons() { book_summary | sed -n 's/^P \([^|]*\)|.*/\1/p' | tr '\n' ' '; }
expect_book() { [ "$(persons)" = "$1" ] || fail "book: $(book_summary)"; }

write_persons "Ann|||"
start_book
main=$(main_window) || fail "no main window"

echo "== OK on a new person while the file is held"
hold personal.inf
before=$(md5sum < personal.inf)
new_person Bob
expect_failed_save
driver gone "$DIALOG" || fail "the person dialog stayed open"
[ "$(md5sum < personal.inf)" = "$before" ] || fail "the held file changed"
[ "$(list_count "$main" 190)" = 2 ] || fail "the new person left the list"
ls personal.inf.tmp 2>/dev/null && fail "a temporary file was left behind"
pass "failed save told, file unchanged, person kept"

echo "== after the holder lets go, the next change writes both persons"
release
new_person Cy
driver gone "$DIALOG" || fail "the person dialog stayed open"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "a message for a save that worked: $(message_text)"
expect_book "Ann Bob Cy "
pass "next save writes everything"

echo "== close with a save that fails again: No keeps the program, Yes closes"
hold personal.inf
new_person Dee
expect_failed_save
driver command "$main" 110
box=$(message_box) || fail "no question at close"
text=$(message_text)
grep -q 'These changes could not be saved:' <<<"$text" || fail "question: $text"
grep -q 'personal.inf' <<<"$text" || fail "question names no file: $text"
grep -q 'Close anyway and lose them?' <<<"$text" || fail "question: $text"
driver click "$box" 7 || fail "could not press No"
driver gone "$box" || fail "the question stayed"
settled "$main" || fail "No closed the program"
[ "$(driver count ZuAddressBook "Address Book")" = 1 ] || fail "No closed the program"
driver command "$main" 110
box=$(message_box) || fail "no question at the second close"
driver click "$box" 6
wait_exit "$LAST_PID" || fail "Yes did not close the program"
release
expect_book "Ann Bob Cy "
pass "No keeps running, Yes closes and Dee is lost"

echo "== close after the holder let go: the pending save is written, nothing asked"
start_book
main=$(main_window) || fail "no main window"
hold personal.inf
new_person Eve
expect_failed_save
release
driver command "$main" 110
wait_exit "$LAST_PID" || fail "close with a pending save that now works did not end the program"
expect_book "Ann Bob Cy Eve "
pass "pending save written at close"

echo "== the send button: after the hand-off a save that fails again is asked about first"
start_host
start_book /o
main=$(main_window) || fail "no main window in /o"
box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box"
hold personal.inf
new_person Fay
expect_failed_save
driver lb-select "$main" 190 0
driver click "$box" 186
wait_for '[ "$(list_count "$box" 189)" = 1 ]' || fail "no recipient added"
driver click "$box" 188
question=$(message_box) || fail "no question after the send"
text=$(message_text)
grep -q 'Close anyway and lose them?' <<<"$text" || fail "question: $text"
wait_for 'grep -q SENDADDR "$HOST_LOG"' || fail "no hand-off before the question"
driver click "$question" 7 || fail "could not press No"
driver gone "$question" || fail "the question stayed"
settled "$main" || fail "No ended the program"
[ "$(driver count ZuAddressBook "Address Book")" = 1 ] || fail "No ended the program"
release
driver click "$box" 188
wait_exit "$LAST_PID" || fail "the send button did not end the program once the save worked"
expect_book "Ann Bob Cy Eve Fay "
pass "send button"
