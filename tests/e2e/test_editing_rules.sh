#!/bin/bash
# The name rules as the dialogs show them, the select-members choices, Find stepping, renaming a
# member across a restart and deleting a person and a group together; files checked each time.
source "$(dirname "$0")/lib.sh"

write_persons 'Anna|a@x|Anna;;|' 'Bob|b@y|;;|' 'Hanna|c@x|;;|'
write_groups 'Team||Anna,Bob' 'Nax||'
summary() { book_summary | tr '\n' '/'; }
open_main() { start_book; book_pid=$LAST_PID; main=$(main_window) || fail "no main window"; }
position_of() { list_data "$main" 190 | grep -n -x "$1" | cut -d: -f1 | awk '{print $1 - 1}'; }
# Presses OK and expects the message box whose first line is $1; the dialog stays open.
refused() {
  local before box; before=$(summary)
  driver click "$dialog" 1 || fail "could not press OK for '$1'"
  box=$(driver find "#32770" "Address Book") || fail "no message for '$1'"
  local first; first=$(driver msgbox "Address Book" | sed -n 1p)
  [ "$first" = "$1" ] || fail "message '$first', want '$1'"
  driver click "$box" 1 || fail "could not dismiss '$1'"
  driver gone "$box" || fail "the message '$1' stayed"
  [ "$(driver count "#32770" Properties)" = 1 ] || fail "the dialog closed after '$1'"
  [ "$(summary)" = "$before" ] || fail "a refused entry changed the files"
}
open_main

echo "== the person rules in their order"
type_in() { driver settext "$dialog" "$1" "$2" || fail "could not type '$2' into control $1"; }
driver command "$main" 100 || fail "could not send New Address"
dialog=$(driver find-dialog Properties 105) || fail "no person dialog"
refused "Please type a service name."
type_in 100 'x"y'
refused "A service name cannot contain any of the following characters."
type_in 100 BOB
refused "A service name you entered is already registered."
type_in 100 Cy
type_in 102 'a/b'
refused "A first name cannot contain any of the following characters."
type_in 102 ""
driver click "$dialog" 1 || fail "could not press OK for Cy"
driver gone "$dialog" || fail "Cy was not accepted"
[ "$(book_summary | grep '^P Cy')" = "P Cy||;;|" ] || fail "empty name parts: $(summary)"
pass "person rules"

echo "== Find steps A, C, A; an e-mail search never stops on a group"
# Three Find Next presses, each handled before the selection is read.
find_three() {
  hits=""
  for press in 1 2 3; do
    driver click-sync "$find" 1 || fail "Find Next $press was not handled"
    hits+="$(driver lb-sel "$main" 190) "
  done
}
check_radio() {  # BM_SETCHECK
  local button
  button=$(driver child "$find" "$1") || fail "no button $1 in Find"
  driver send "$button" 0xF1 "$2" 0 >/dev/null || fail "could not set button $1 to $2"
}
driver command "$main" 109 || fail "could not send Find"
find=$(driver find-dialog Find 103) || fail "no Find dialog"
driver settext "$find" 103 nn || fail "could not type into Find"
find_three
[ "$hits" = "$(position_of 0x0) $(position_of 0x20000) $(position_of 0x0) " ] || fail "description hits: $hits"
check_radio 101 0  # e-mail mode
check_radio 102 1
driver settext "$find" 103 x || fail "could not type into Find"
find_three
[ "$hits" = "$(position_of 0x0) $(position_of 0x20000) $(position_of 0x0) " ] || fail "e-mail hits: $hits"
driver click "$find" 2 || fail "could not press Cancel in Find"
driver gone "$find" || fail "Find stayed open"
pass "find"

echo "== a group of two chosen in Select members; Cancel there keeps the members"
driver command "$main" 101 || fail "could not send New Group"
dialog=$(driver find-dialog Properties 104) || fail "no group dialog"
driver settext "$dialog" 100 Pair || fail "could not type the group name"
driver click "$dialog" 102 || fail "could not press New in the group dialog"
members=$(driver find-dialog "Select members" 103) || fail "no Select members"
persons=$(list_count "$members" 100)
[ "$persons" = 4 ] || fail "Select members lists $persons persons, want 4"
driver lb-select "$members" 100 0 2 || fail "could not select persons 0 and 2 of $persons"
driver click-sync "$members" 102 || fail "the first Append >> was not handled"
driver click-sync "$members" 102 || fail "the second Append >> was not handled"
[ "$(list_count "$members" 101)" = 2 ] || fail "Append >> twice gave $(list_count "$members" 101)"
driver click "$members" 1 || fail "could not press OK in Select members"
driver gone "$members" || fail "Select members stayed open after OK"
# The group dialog fills its list once Select members has gone, in the same handler.
settled "$dialog" || fail "the group dialog closed after Select members"
[ "$(list_count "$dialog" 101)" = 2 ] || fail "the group dialog shows $(list_count "$dialog" 101) members, want 2"
driver click "$dialog" 102 || fail "could not press New the second time"
members=$(driver find-dialog "Select members" 103) || fail "no Select members the second time"
[ "$(list_count "$members" 101)" = 2 ] || fail "the chosen members were not shown: $(list_count "$members" 101)"
driver lb-select "$members" 101 0 || fail "could not select the first chosen member"
driver click-sync "$members" 103 || fail "Delete in Select members was not handled"
[ "$(list_count "$members" 101)" = 1 ] || fail "Delete in Select members left $(list_count "$members" 101)"
driver click "$members" 2 || fail "could not press Cancel in Select members"
driver gone "$members" || fail "Select members stayed open after Cancel"
settled "$dialog" || fail "the group dialog closed after Cancel"
[ "$(list_count "$dialog" 101)" = 2 ] || fail "Cancel changed the members: $(list_count "$dialog" 101)"
driver click "$dialog" 1 || fail "could not press OK in the group dialog"
driver gone "$dialog" || fail "the group dialog stayed open after OK"
[ "$(book_summary | grep '^G Pair')" = "G Pair||2|11|Anna,Hanna" ] || fail "Pair stored as $(summary)"
pass "select members"

echo "== a renamed member stays in its group after a restart"
driver lb-dblclick "$main" 190 "$(position_of 0x10000)" || fail "could not open Bob"
dialog=$(driver find-dialog Properties 105) || fail "no dialog for Bob"
type_in 100 Robert
driver click "$dialog" 1 || fail "could not press OK for Robert"
driver gone "$dialog" || fail "the dialog for Robert stayed open"
driver command "$main" 110 || fail "could not send Exit"
wait_exit "$book_pid" || fail "did not exit"
open_main
[ "$(book_summary | grep '^G Team')" = "G Team||2|12|Anna,Robert" ] || fail "Team after the restart: $(summary)"
pass "rename"

echo "== a case variant is refused until the other person is deleted"
driver command "$main" 100 || fail "could not send New Address"
dialog=$(driver find-dialog Properties 105) || fail "no person dialog for ANNA"
type_in 100 ANNA
refused "A service name you entered is already registered."
driver click "$dialog" 2 || fail "could not press Cancel"
driver gone "$dialog" || fail "the person dialog stayed open after Cancel"
driver lb-select "$main" 190 "$(position_of 0x0)" || fail "could not select Anna"
driver command "$main" 105 || fail "could not send Delete"
wait_for '! grep -q "^P Anna" <<<"$(book_summary)"' || fail "Anna not deleted"
driver command "$main" 100 || fail "could not send New Address"
dialog=$(driver find-dialog Properties 105) || fail "no person dialog for ANNA the second time"
type_in 100 ANNA
driver click "$dialog" 1 || fail "could not press OK for ANNA"
driver gone "$dialog" || fail "ANNA refused after Anna was deleted"
grep -q "^P ANNA|" <<<"$(book_summary)" || fail "ANNA not stored: $(summary)"
pass "case variant"

echo "== a person and a group deleted together"
count=$(list_count "$main" 190)
driver lb-select "$main" 190 "$(position_of 0x10000)" "$(position_of 0x20001)" || fail "could not select Robert and Pair"
driver command "$main" 105 || fail "could not send Delete"
wait_for '[ "$(list_count "$main" 190)" = $((count - 2)) ]' || fail "items left: $(list_count "$main" 190)"
! grep -q "^P Robert" <<<"$(book_summary)" || fail "Robert still stored"
! grep -q "^G Pair" <<<"$(book_summary)" || fail "Pair still stored"
[ "$(book_summary | grep '^G Team')" = "G Team||0|0|" ] || fail "Team keeps deleted members: $(summary)"
pass "delete together"
driver command "$main" 110 || fail "could not send Exit"
wait_exit "$book_pid" || fail "did not exit"
