#!/bin/bash
# Editing as a user does it: a new person through the Properties dialog (with a refused name),
# an edit by double click, a group with a member chosen in Select members, Find, and Delete;
# every change is in the data files at once.
source "$(dirname "$0")/lib.sh"

expect_file() { wait_for "[ \"\$(bytes $1 2>/dev/null)\" = '$(hex "$2")' ]" || fail "$1 is $(bytes "$1" 2>/dev/null)"; }
message_box() { driver find "#32770" "Address Book"; }

start_book
main=$(main_window) || fail "no main window"

echo "== a new person; a description with a semicolon is refused and the dialog stays"
driver command "$main" 100
dialog=$(driver find-dialog Properties 105) || fail "person dialog did not open"
driver settext "$dialog" 100 'a;b'
driver click "$dialog" 1
box=$(message_box) || fail "no message for a bad description"
grep -q "cannot contain any of the following characters" <<<"$(driver msgbox "Address Book")" ||
  fail "message: $(driver msgbox "Address Book")"
driver click "$box" 1
driver gone "$box" || fail "message box stayed"
[ "$(driver count "#32770" Properties)" = 1 ] || fail "the person dialog closed on a refused name"
driver settext "$dialog" 100 Dora
driver settext "$dialog" 101 dora@z
driver settext "$dialog" 102 D
driver settext "$dialog" 104 Lee
driver settext "$dialog" 105 note
driver click "$dialog" 1
driver gone "$dialog" || fail "OK did not close the person dialog"
expect_file personal.inf '\x01\0\0\0Dora\0dora@z\0D;;Lee\0note\0'
[ "$(list_data "$main" 190)" = 0x0 ] || fail "entry list: $(list_data "$main" 190)"
pass "new person"

echo "== a double click opens the person for editing"
driver lb-dblclick "$main" 190 0
dialog=$(driver find-dialog Properties 105) || fail "no dialog on a double click"
[ "$(driver text "$dialog" 100)/$(driver text "$dialog" 102)/$(driver text "$dialog" 104)" = Dora/D/Lee ] ||
  fail "dialog shows $(driver texts "$dialog" | grep -i edit)"
driver settext "$dialog" 105 "new note"
driver click "$dialog" 1
driver gone "$dialog" || fail "OK did not close the edited person"
expect_file personal.inf '\x01\0\0\0Dora\0dora@z\0D;;Lee\0new note\0'
pass "edit"

echo "== a new group with a member chosen in Select members"
driver command "$main" 101
group=$(driver find-dialog Properties 104) || fail "group dialog did not open"
driver settext "$group" 100 Team
driver click "$group" 102
members=$(driver find-dialog "Select members" 102) || fail "Select members did not open"
driver lb-select "$members" 100 0
driver click "$members" 102
wait_for '[ "$(list_count "$members" 101)" = 1 ]' || fail "Append >> chose $(list_count "$members" 101)"
driver click-sync "$members" 102 || fail "the second Append >> was not handled"
[ "$(list_count "$members" 101)" = 1 ] || fail "Append >> added a duplicate"
driver click "$members" 1
driver gone "$members" || fail "Select members stayed open"
wait_for '[ "$(list_count "$group" 101)" = 1 ]' || fail "group members: $(list_count "$group" 101)"
driver click "$group" 1
driver gone "$group" || fail "OK did not close the group dialog"
expect_file group.inf '\x01\0\0\0Team\0\0\x01\0\0\0\x05\0\0\0Dora\0'
[ "$(list_count "$main" 190)" = 2 ] || fail "entry list holds $(list_count "$main" 190)"
pass "new group"

echo "== Find: letter case matters, a hit is selected"
driver command "$main" 109
find=$(driver find-dialog Find 103) || fail "Find did not open"
driver settext "$find" 103 dora
driver click "$find" 1
box=$(message_box) || fail "no 'not find' for a case variant"
[ "$(driver msgbox "Address Book")" = "not find" ] || fail "message: $(driver msgbox "Address Book")"
driver click "$box" 1
driver gone "$box"
driver settext "$find" 103 Dora
driver click "$find" 1
dora=$(list_data "$main" 190 | grep -n -x 0x0 | cut -d: -f1)
wait_for '[ "$(driver lb-sel "$main" 190)" = "$((dora - 1))" ]' || fail "selection after Find: $(driver lb-sel "$main" 190)"
driver click "$find" 2
driver gone "$find" || fail "Close left the Find dialog"
pass "find"

echo "== Delete removes the person from both files"
driver lb-select "$main" 190 $((dora - 1))
driver command "$main" 105
wait_for '[ "$(list_count "$main" 190)" = 1 ]' || fail "entries after Delete: $(list_count "$main" 190)"
expect_file personal.inf '\0\0\0\0'
expect_file group.inf '\x01\0\0\0Team\0\0\0\0\0\0\0\0\0\0'
pass "delete"
driver command "$main" 110
wait_exit "$LAST_PID" || fail "did not exit"
