#!/bin/bash
# Started beside the host: the recipient list and the group and Select members dialogs' person
# lists read out of process as the entry list does, with type-ahead in the dialogs' lists, and
# every dialog control a reader reaches has a name.
source "$(dirname "$0")/lib.sh"

start_host
write_persons 'Bruno Keller|bruno@example.org|;;|' 'Carla Rossi|carla@example.org|;;|' 'bea Lind||;;|' \
  'Berta Moor|berta@example.org|;;|'
write_groups 'Tennis club|Tuesdays|Carla Rossi,bea Lind'
start_book /p
main=$(main_window) || fail "no main window"
box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box"
recipients=$(driver child "$box" 189) || fail "no recipient list"
items() { driver acc-items "$1" | cut -f2,4 | tr '\t' '|' | tr '\n' ';'; }

focus_id() { driver focused "$main" | cut -f1; }

echo "== the keyboard: the entry list after start-up; Tab and Shift+Tab around the panes"
wait_for '[ "$(focus_id)" = 190 ]' || fail "focus after start-up: $(driver focused "$main")"
xdotool key Tab
wait_for '[ "$(focus_id)" = 189 ]' || fail "Tab with nothing to send: $(driver focused "$main")"
xdotool key Tab
wait_for '[ "$(focus_id)" = 191 ]' || fail "Tab around to the search box: $(driver focused "$main")"
xdotool key Tab
wait_for '[ "$(focus_id)" = 190 ]' || fail "Tab back around: $(driver focused "$main")"
driver lb-select "$main" 190 0
wait_for '[ "$(driver enabled "$box" 186)" = 1 ]' || fail ">>To stayed disabled"
xdotool key Tab
wait_for '[ "$(focus_id)" = 186 ]' || fail "Tab to >>To: $(driver focused "$main")"
xdotool key Return
wait_for '[ "$(list_count "$box" 189)" = 1 ]' || fail "Enter did not press >>To"
xdotool key shift+Tab
wait_for '[ "$(focus_id)" = 190 ]' || fail "Shift+Tab back to the entry list: $(driver focused "$main")"
xdotool key shift+Tab
wait_for '[ "$(focus_id)" = 191 ]' || fail "Shift+Tab to the search box: $(driver focused "$main")"
xdotool key shift+Tab
wait_for '[ "$(focus_id)" = 189 ]' || fail "Shift+Tab around to the recipients: $(driver focused "$main")"
xdotool key shift+Tab
wait_for '[ "$(focus_id)" = 188 ]' || fail "Shift+Tab to the send button: $(driver focused "$main")"
driver lb-select "$box" 189 0
xdotool key shift+Tab
wait_for '[ "$(focus_id)" = 187 ]' || fail "Shift+Tab to <<Delete: $(driver focused "$main")"
xdotool key space
wait_for '[ "$(list_count "$box" 189)" = 0 ]' || fail "Space did not press <<Delete"
wait_for '[ "$(focus_id)" != 187 ]' || fail "the focus stayed on the disabled <<Delete"
pass "keyboard"

echo "== the recipient list"
[ "$(driver acc "$recipients" | cut -f1,3,4)" = "$(printf 'list\tRecipients\t0')" ] ||
  fail "empty recipient list: $(driver acc "$recipients")"
driver lb-select "$main" 190 1 4
driver click "$box" 186
wait_for '[ "$(items "$recipients")" = "listitem|Carla Rossi, carla@example.org;listitem|Tennis club, group;" ]' ||
  fail "recipients: $(items "$recipients")"
for id in 186 187 188; do [ -n "$(driver text "$box" "$id")" ] || fail "button $id has no name"; done
pass "recipients"

echo "== the group dialog's member list, named by its label"
list=$(driver child "$main" 190)
driver acc-do "$list" 5 || fail "Open refused on the group"  # the default action opens it as a double click
group=$(driver find-dialog Properties 103) || fail "the group did not open"
members=$(driver child "$group" 101)
[ "$(driver acc "$members" | cut -f1,3,4)" = "$(printf 'list\tMember\t2')" ] || fail "member list: $(driver acc "$members")"
[ "$(items "$members")" = "listitem|Carla Rossi;listitem|bea Lind;" ] || fail "members: $(items "$members")"
[ "$(driver acc-action "$members" 1 | cut -f1)" = Open ] || fail "member action: $(driver acc-action "$members" 1)"
driver texts "$group" | awk -F'\t' '$2 == "Button" && $3 == "" {print}' | grep -q . && fail "an unnamed button"
pass "group dialog"

echo "== Select members: both lists, type-ahead in the persons"
driver click "$group" 102
select=$(driver find-dialog "Select members" 103) || fail "Select members did not open"
persons=$(driver child "$select" 100)
chosen=$(driver child "$select" 101)
[ "$(driver acc "$persons" | cut -f1,3,4)" = "$(printf 'list\tDescription\t4')" ] || fail "persons: $(driver acc "$persons")"
[ "$(driver acc "$chosen" | cut -f1,3,4)" = "$(printf 'list\tSelect Member\t2')" ] || fail "chosen: $(driver acc "$chosen")"
[ -z "$(driver acc-action "$persons" 1 | cut -f1)" ] || fail "a double click opens nothing here: $(driver acc-action "$persons" 1)"
# The caret on Bruno Keller, with the keyboard, so the first real "b" goes on to the next b entry.
driver acc-select "$persons" 1 1
wait_for '[ "$(driver focused "$select" | cut -f1)" = 100 ]' || fail "the persons list has no focus: $(driver focused "$select")"
xdotool type b
wait_for '[ "$(driver lb-sel "$select" 100 | tr "\n" " ")" = "2 " ]' || fail "b: $(driver lb-sel "$select" 100)"
xdotool type b
wait_for '[ "$(driver lb-sel "$select" 100 | tr "\n" " ")" = "3 " ]' || fail "b b: $(driver lb-sel "$select" 100)"
wait_for '[ "$(driver enabled "$select" 102)" = 1 ]' || fail "typing did not enable Append as a click does"
[ "$(driver acc-selection "$persons")" = 4 ] || fail "reader's selection: $(driver acc-selection "$persons")"
driver click "$select" 102
wait_for '[ "$(items "$chosen")" = "listitem|Carla Rossi;listitem|bea Lind;listitem|Berta Moor;" ]' ||
  fail "chosen after Append: $(items "$chosen")"
driver click "$select" 2
driver gone "$select" || fail "Select members stayed open"
driver click "$group" 2
driver gone "$group" || fail "the group dialog stayed open"
wait_for '[ "$(focus_id)" = 190 ]' || fail "focus after the dialog: $(driver focused "$main")"
pass "select members"
