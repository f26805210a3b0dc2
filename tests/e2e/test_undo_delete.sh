#!/bin/bash
# Undo delete: a person in two groups, a group and a recipient deleted together come back with
# Ctrl+Z: both files byte for byte as before, the list, its selection and the recipients as
# before. Ctrl+Z typed into the Find dialog's search box stays the box's own; a new person ends
# what there was to undo.
source "$(dirname "$0")/lib.sh"

# Real key presses (the accelerator rows are Control with a virtual key): Ctrl+Z to the main
# window, and Ctrl+Z typed into an edit control after a click into it.
press_in_main() {
  local w; w=$(x_window "Address Book")
  [ -n "$w" ] || fail "no X window for the main window"
  xdotool windowactivate --sync "$w" 2>/dev/null || true
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  xdotool key --clearmodifiers "$1"
}
ctrl_z() { press_in_main ctrl+z; }
type_into() {  # HWND of an edit control, then xdotool key names
  local edit=$1; shift
  read -r l t r b <<<"$(driver rect "$edit")"
  xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 )) click 1
  xdotool key --clearmodifiers "$@"
}
# Entry-list indexes of the items whose ItemRef is given, in the order given.
indexes_of() {
  local data; data=$(list_data "$main" 190)
  for ref in "$@"; do echo "$data" | grep -n -x "$ref" | cut -d: -f1 | awk '{print $1 - 1}'; done
}
snapshot() { list_data "$main" 190 >"$1.list"; list_data "$box" 189 >"$1.recipients"; cp personal.inf "$1.personal"; cp group.inf "$1.group"; }
same_file() { cmp -s "$1" "$2"; }

start_host
write_persons 'Ann|ann@x|Ann;;Lee|first' 'Bo|bo@x|;;|' 'Cy|cy@x|;;|' 'Di|di@x|;;|' 'Ed|ed@x|;;|memo'
write_groups 'Team|t|Ann,Bo,Cy' 'Club||Cy,Ann' 'Pals||Bo,Di'
start_book /o
main=$(main_window) || fail "no main window"
box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box"
wait_for '[ "$(list_count "$main" 190)" = 8 ]' || fail "the book shows $(list_count "$main" 190) entries"

echo "== a person in two groups, a group and a recipient deleted together"
# Recipients: Bo, Cy, Ed (in entry-list order).
driver lb-select "$main" 190 $(indexes_of 0x20000 0x40000 0x10000) >/dev/null
driver click "$box" 186 >/dev/null
wait_for '[ "$(list_count "$box" 189)" = 3 ]' || fail "recipients: $(list_count "$box" 189)"
# Select Ann (in Team and Club), Ed (a recipient) and the group Pals.
selection=$(indexes_of 0x0 0x40000 0x20001 | sort -n | tr '\n' ' ')
driver lb-select "$main" 190 $selection >/dev/null
snapshot before
driver command "$main" 105 >/dev/null
wait_for '[ "$(list_count "$main" 190)" = 5 ]' || fail "entries after the delete: $(list_count "$main" 190)"
wait_for '! same_file personal.inf before.personal && ! same_file group.inf before.group' ||
  fail "the delete did not write both files"
[ "$(list_data "$box" 189 | tr '\n' ' ')" = "0x10000 0x20000 " ] ||
  fail "recipients after the delete: $(list_data "$box" 189 | tr '\n' ' ')"
book_summary | grep -q '^G Club||1|3|Cy$' || fail "group file after the delete: $(book_summary)"
pass "deleted"

echo "== Ctrl+Z brings everything back as it was"
ctrl_z
wait_for '[ "$(list_count "$main" 190)" = 8 ]' || fail "entries after Ctrl+Z: $(list_count "$main" 190)"
wait_for 'same_file personal.inf before.personal && same_file group.inf before.group' ||
  fail "files after the undo: $(book_summary)"
[ "$(list_data "$main" 190)" = "$(cat before.list)" ] || fail "list after the undo: $(list_data "$main" 190 | tr '\n' ' ')"
[ "$(driver lb-sel "$main" 190 | tr '\n' ' ')" = "$selection" ] ||
  fail "selection after the undo: '$(driver lb-sel "$main" 190 | tr '\n' ' ')', want '$selection'"
[ "$(list_data "$box" 189)" = "$(cat before.recipients)" ] ||
  fail "recipients after the undo: $(list_data "$box" 189 | tr '\n' ' ')"
pass "undone byte for byte"

echo "== one level: a second Ctrl+Z changes nothing"
ctrl_z
press_in_main ctrl+f  # after the key: once Find is up, the key was handled
find=$(driver find-dialog Find 103) || fail "Find did not open"
[ "$(list_count "$main" 190)" = 8 ] && same_file personal.inf before.personal || fail "a second undo changed the book"
pass "one level"

echo "== Ctrl+Z in the Find dialog's search box is the box's own"
driver lb-select "$main" 190 "$(indexes_of 0x30000)" >/dev/null
driver command "$main" 105 >/dev/null
wait_for '[ "$(list_count "$main" 190)" = 7 ]' || fail "Di was not deleted"
edit=$(driver child "$find" 103)
# Typed "ab", undone by the box itself, then "x": once "x" shows, Ctrl+Z was handled.
type_into "$edit" a b ctrl+z x
driver wait-text "$find" 103 x >/dev/null || fail "the search box shows '$(driver text "$find" 103)'"
[ "$(list_count "$main" 190)" = 7 ] || fail "Ctrl+Z in the search box undid the delete"
driver click "$find" 2 >/dev/null
driver gone "$find" || fail "Close left the Find dialog"
ctrl_z
wait_for '[ "$(list_count "$main" 190)" = 8 ]' || fail "Ctrl+Z outside the box did not undo"
pass "the search box keeps Ctrl+Z"

echo "== a new person after a delete ends the undo"
driver lb-select "$main" 190 "$(indexes_of 0x10000)" >/dev/null
driver command "$main" 105 >/dev/null
wait_for '[ "$(list_count "$main" 190)" = 7 ]' || fail "Bo was not deleted"
driver command "$main" 100 >/dev/null
dialog=$(driver find-dialog Properties 105) || fail "person dialog did not open"
driver settext "$dialog" 100 Fay >/dev/null
driver click "$dialog" 1 >/dev/null
driver gone "$dialog" || fail "OK did not close the person dialog"
wait_for '[ "$(list_count "$main" 190)" = 8 ]' || fail "Fay was not added"
ctrl_z
press_in_main ctrl+f
driver find-dialog Find 103 >/dev/null || fail "Find did not open"
[ "$(list_count "$main" 190)" = 8 ] || fail "Ctrl+Z after a new person brought Bo back"
book_summary | grep -q '^P Bo|' && fail "Bo is in the file again"
pass "a new person grays Undo delete"
