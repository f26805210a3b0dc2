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
  driver click "$dialog" 1
  box=$(driver find "#32770" "Address Book") || fail "no message for '$1'"
  local first; first=$(driver msgbox "Address Book" | head -1)
  [ "$first" = "$1" ] || fail "message '$first', want '$1'"
  driver click "$box" 1
  driver gone "$box"
  [ "$(driver count "#32770" Properties)" = 1 ] || fail "the dialog closed after '$1'"
  [ "$(summary)" = "$before" ] || fail "a refused entry changed the files"
}
open_main

echo "== the person rules in their order"
driver command "$main" 100
dialog=$(driver find-dialog Properties 105) || fail "no person dialog"
refused "Please type a service name."
driver settext "$dialog" 100 'x"y'
refused "A service name cannot contain any of the following characters."
driver settext "$dialog" 100 BOB
refused "A service name you entered is already registered."
driver settext "$dialog" 100 Cy
driver settext "$dialog" 102 'a/b'
refused "A first name cannot contain any of the following characters."
driver settext "$dialog" 102 ""
driver click "$dialog" 1
driver gone "$dialog" || fail "Cy was not accepted"
[ "$(book_summary | grep '^P Cy')" = "P Cy||;;|" ] || fail "empty name parts: $(summary)"
pass "person rules"

echo "== Find steps A, C, A; an e-mail search never stops on a group"
driver command "$main" 109
find=$(driver find-dialog Find 103) || fail "no Find dialog"
driver settext "$find" 103 nn
hits=""
for _ in 1 2 3; do driver click "$find" 1; sleep 0.3; hits+="$(driver lb-sel "$main" 190) "; done
[ "$hits" = "$(position_of 0x0) $(position_of 0x20000) $(position_of 0x0) " ] || fail "description hits: $hits"
driver send "$(driver child "$find" 101)" 0xF1 0 0  # BM_SETCHECK: e-mail mode
driver send "$(driver child "$find" 102)" 0xF1 1 0
driver settext "$find" 103 x
hits=""
for _ in 1 2 3; do driver click "$find" 1; sleep 0.3; hits+="$(driver lb-sel "$main" 190) "; done
[ "$hits" = "$(position_of 0x0) $(position_of 0x20000) $(position_of 0x0) " ] || fail "e-mail hits: $hits"
driver click "$find" 2
driver gone "$find"
pass "find"

echo "== a group of two chosen in Select members; Cancel there keeps the members"
driver command "$main" 101
dialog=$(driver find-dialog Properties 104) || fail "no group dialog"
driver settext "$dialog" 100 Pair
driver click "$dialog" 102
members=$(driver find-dialog "Select members" 103) || fail "no Select members"
driver lb-select "$members" 100 0 2
driver click "$members" 102
driver click "$members" 102
sleep 0.5
[ "$(list_count "$members" 101)" = 2 ] || fail "Append >> twice gave $(list_count "$members" 101)"
driver click "$members" 1
driver gone "$members"
driver click "$dialog" 102
members=$(driver find-dialog "Select members" 103) || fail "no Select members the second time"
wait_for '[ "$(list_count "$members" 101)" = 2 ]' || fail "the chosen members were not shown"
driver lb-select "$members" 101 0
driver click "$members" 103
wait_for '[ "$(list_count "$members" 101)" = 1 ]' || fail "Delete in Select members"
driver click "$members" 2
driver gone "$members"
[ "$(list_count "$dialog" 101)" = 2 ] || fail "Cancel changed the members: $(list_count "$dialog" 101)"
driver click "$dialog" 1
driver gone "$dialog"
[ "$(book_summary | grep '^G Pair')" = "G Pair||2|11|Anna,Hanna" ] || fail "Pair stored as $(summary)"
pass "select members"

echo "== a renamed member stays in its group after a restart"
driver lb-dblclick "$main" 190 "$(position_of 0x10000)"
dialog=$(driver find-dialog Properties 105) || fail "no dialog for Bob"
driver settext "$dialog" 100 Robert
driver click "$dialog" 1
driver gone "$dialog"
driver command "$main" 110
wait_exit "$book_pid" || fail "did not exit"
open_main
[ "$(book_summary | grep '^G Team')" = "G Team||2|12|Anna,Robert" ] || fail "Team after the restart: $(summary)"
pass "rename"

echo "== a case variant is refused until the other person is deleted"
driver command "$main" 100
dialog=$(driver find-dialog Properties 105)
driver settext "$dialog" 100 ANNA
refused "A service name you entered is already registered."
driver click "$dialog" 2
driver gone "$dialog"
driver lb-select "$main" 190 "$(position_of 0x0)"
driver command "$main" 105
wait_for '! book_summary | grep -q "^P Anna"' || fail "Anna not deleted"
driver command "$main" 100
dialog=$(driver find-dialog Properties 105)
driver settext "$dialog" 100 ANNA
driver click "$dialog" 1
driver gone "$dialog" || fail "ANNA refused after Anna was deleted"
book_summary | grep -q "^P ANNA|" || fail "ANNA not stored: $(summary)"
pass "case variant"

echo "== a person and a group deleted together"
count=$(list_count "$main" 190)
driver lb-select "$main" 190 "$(position_of 0x10000)" "$(position_of 0x20001)"
driver command "$main" 105
wait_for '[ "$(list_count "$main" 190)" = $((count - 2)) ]' || fail "items left: $(list_count "$main" 190)"
book_summary | grep -q "^P Robert" && fail "Robert still stored"
book_summary | grep -q "^G Pair" && fail "Pair still stored"
[ "$(book_summary | grep '^G Team')" = "G Team||0|0|" ] || fail "Team keeps deleted members: $(summary)"
pass "delete together"
driver command "$main" 110
wait_exit "$book_pid" || fail "did not exit"
