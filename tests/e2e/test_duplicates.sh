#!/bin/bash
# Find duplicates: a set of three (the same e-mail, "Lee, Ann", "ann lee") beside a person with
# the same first name is offered alone; the merge keeps the values chosen and every membership,
# and asks before a recipient's own address is no longer sent; Ctrl+Z gives both files back byte
# for byte; "Not the same" holds after a restart; "Merge all identical" merges after one question.
source "$(dirname "$0")/lib.sh"

ctrl_z() {
  local w; w=$(x_window "Address Book")
  [ -n "$w" ] || fail "no X window for the main window"
  xdotool windowactivate --sync "$w" 2>/dev/null || true
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  xdotool key --clearmodifiers ctrl+z
}
open_dialog() {
  driver command "$main" 123 >/dev/null
  dialog=$(driver find-dialog "Find duplicates" 101) || fail "the duplicates dialog did not open"
}
# The message box now up: its text into $message, then the button pressed.
answer_message() {
  message=$(driver msgbox "Address Book") || fail "no message box ($2)"
  local box; box=$(driver find "#32770" "Address Book") || fail "no message box ($2)"
  driver click "$box" "$1" >/dev/null
  driver gone "$box" || fail "the message box stayed ($2)"
}
lines() { tr -d '\r' | tr '\n' '|'; }

start_host
# Ann and "ann lee" share an address, "Lee, Ann" is "ann lee" turned; Ann Baker only shares the
# first name.
write_persons 'Ann|ann@x|Ann;;|first' 'Ann Baker|baker@x|Ann;;Baker|' 'Lee, Ann|lee@y|;;|phone' \
  'ann lee|ANN@x|Ann;M;Lee|'
write_groups 'Team||ann lee,Ann Baker,Ann' 'Club|c|Ann Baker,ann lee'
start_book /o
book_pid=$LAST_PID
main=$(main_window) || fail "no main window"
box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box"
wait_for '[ "$(list_count "$main" 190)" = 6 ]' || fail "the book shows $(list_count "$main" 190) entries"

echo "== the dialog offers exactly the set of three"
driver lb-select "$main" 190 0 >/dev/null  # Ann, whose ann@x the merge will not keep
driver click "$box" 186 >/dev/null
wait_for '[ "$(list_count "$box" 189)" = 1 ]' || fail "recipients: $(list_count "$box" 189)"
cp personal.inf before.personal
cp group.inf before.group
open_dialog
[ "$(driver lb-texts "$dialog" 100 | lines)" = "Ann / Lee, Ann / ann lee (same e-mail, same name)|" ] ||
  fail "sets offered: $(driver lb-texts "$dialog" 100 | lines)"
[ "$(list_data "$dialog" 101 | tr '\n' ' ')" = "0x0 0x20000 0x30000 " ] ||
  fail "persons shown: $(list_data "$dialog" 101 | tr '\n' ' ')"
[ "$(driver cb-texts "$dialog" 103 | lines)" = "ann@x|lee@y|ANN@x|" ] || fail "e-mails: $(driver cb-texts "$dialog" 103 | lines)"
[ "$(driver cb-texts "$dialog" 107 | lines)" = "first|phone|first / phone|" ] || fail "memos: $(driver cb-texts "$dialog" 107 | lines)"
# The defaults are ann lee's, who has the most fields filled; the memo is Ann's, the first with one.
[ "$(driver text "$dialog" 102)" = "ann lee" ] && [ "$(driver text "$dialog" 107)" = "first" ] ||
  fail "defaults: $(driver text "$dialog" 102), $(driver text "$dialog" 107)"
[ "$(driver enabled "$dialog" 104)" = 0 ] && [ "$(driver text "$dialog" 104)" = "Ann" ] ||
  fail "the one first name is not shown greyed"
pass "one set, its persons and values"

echo "== the merge keeps the chosen values and every membership"
driver cb-select "$dialog" 102 1 >/dev/null  # Lee, Ann
driver cb-select "$dialog" 103 1 >/dev/null  # lee@y
driver cb-select "$dialog" 107 2 >/dev/null  # both memos
driver click "$dialog" 110 >/dev/null
answer_message 6 "the recipient's address"
grep -q "ann@x" <<<"$message" || fail "the question does not name ann@x: $message"
driver gone "$dialog" || fail "the dialog stayed after its last set was merged"
wait_for '[ "$(list_count "$main" 190)" = 4 ]' || fail "entries after the merge: $(list_count "$main" 190)"
want='P Lee, Ann|lee@y|Ann;M;Lee|first / phone|P Ann Baker|baker@x|Ann;;Baker||G Team||2|19|Lee, Ann,Ann Baker|G Club|c|2|19|Ann Baker,Lee, Ann|'
wait_for '[ "$(book_summary | lines)" = "$want" ]' || fail "the book after the merge: $(book_summary | lines)"
[ "$(list_data "$box" 189 | tr '\n' ' ')" = "0x0 " ] || fail "recipients after the merge: $(list_data "$box" 189 | tr '\n' ' ')"
pass "merged"

echo "== Ctrl+Z undoes the merge, both files byte for byte"
ctrl_z
wait_for '[ "$(list_count "$main" 190)" = 6 ]' || fail "entries after Ctrl+Z: $(list_count "$main" 190)"
wait_for 'cmp -s personal.inf before.personal && cmp -s group.inf before.group' ||
  fail "files after the undo: $(book_summary | lines)"
pass "undone byte for byte"

echo "== Not the same survives a restart"
open_dialog
driver click "$dialog" 111 >/dev/null
driver gone "$dialog" || fail "the dialog stayed after its last set was dismissed"
[ -s notsame.inf ] || fail "no notsame.inf"
driver command "$main" 110 >/dev/null
wait_exit "$book_pid" || fail "the address book did not end"
# A pair the same in every field once letter case and the turned name are left aside joins the book.
python3 - personal.inf <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
extra = b'Cy Dee\0cy@x\0;;\0memo\0' + b'Dee, Cy\0CY@x\0;;\0\0'
open(sys.argv[1], 'wb').write(struct.pack('<I', struct.unpack_from('<I', data)[0] + 2) + data[4:] + extra)
PY
start_book /o
book_pid=$LAST_PID
main=$(main_window) || fail "no main window after the restart"
wait_for '[ "$(list_count "$main" 190)" = 8 ]' || fail "the book shows $(list_count "$main" 190) entries"
open_dialog
[ "$(driver lb-texts "$dialog" 100 | lines)" = "Cy Dee / Dee, Cy (same e-mail, same name)|" ] ||
  fail "sets offered after the restart: $(driver lb-texts "$dialog" 100 | lines)"
pass "the declared set stays away"

echo "== Merge all identical"
driver click "$dialog" 112 >/dev/null
answer_message 6 "merge all"
[ "$message" = "1 sets have persons that are the same in every field. Merge them all?" ] || fail "question: $message"
driver gone "$dialog" || fail "the dialog stayed"
wait_for '[ "$(list_count "$main" 190)" = 7 ]' || fail "entries after merge all: $(list_count "$main" 190)"
book_summary | grep -x 'P Cy Dee|cy@x|;;|memo' >/dev/null || fail "the book after merge all: $(book_summary | lines)"
! book_summary | grep '^P Dee, Cy' >/dev/null || fail "Dee, Cy is still in the book"
driver command "$main" 123 >/dev/null
answer_message 1 "no sets"
[ "$message" = "No duplicates found." ] || fail "with no sets: $message"
pass "merged all identical"
driver command "$main" 110 >/dev/null
wait_exit "$book_pid" || fail "the address book did not end"
