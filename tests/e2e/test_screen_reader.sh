#!/bin/bash
# What a screen reader reads out of process through the lists' own accessible objects, and the
# keyboard's type-ahead in the entry list, typed with real keys.
source "$(dirname "$0")/lib.sh"

write_persons 'Bruno Keller|bruno@example.org|;;|Berlin' 'Carla Rossi|carla@example.org|;;|' \
  'anna Berg|anna@example.org|;;|' 'bea Lind||;;|Oslo' 'Cyril Ott|cyril@example.org|;;|'
write_groups 'Tennis club|Tuesdays|Carla Rossi'
start_book
main=$(main_window) || fail "no main window"
list=$(driver child "$main" 190) || fail "no entry list"

# "CHILD<TAB>ROLE<TAB>STATES<TAB>NAME" lines, CHILD and STATES left out.
names() { driver acc-items "$list" | cut -f2,4 | tr '\t' '|' | tr '\n' ';'; }
states() { driver acc-items "$list" | cut -f3 | tr '\n' ' '; }

echo "== the list: its role, name, states and count; each line's role and name from the records"
read_list=$(driver acc "$list") || fail "no accessible object for the entry list"
[ "$read_list" = "$(printf 'list\tfocusable+multiselectable+extselectable\tAddresses\t6')" ] ||
  [ "$read_list" = "$(printf 'list\tfocused+focusable+multiselectable+extselectable\tAddresses\t6')" ] ||
  fail "list object: $read_list"
want='listitem|Bruno Keller, bruno@example.org, Berlin;listitem|Carla Rossi, carla@example.org;listitem|anna Berg, anna@example.org;listitem|bea Lind, Oslo;listitem|Cyril Ott, cyril@example.org;listitem|Tennis club, group, Tuesdays;'
[ "$(names)" = "$want" ] || fail "items after start-up: $(names)"
action=$(driver acc-action "$list" 2) || fail "no default action"
[ "$(cut -f1 <<< "$action")" = Open ] || fail "default action: $action"
pass "list and items at start-up"

echo "== toolbar, column header and status bar"
toolbar=$(driver find-child "$main" ToolBarClass) || fail "no toolbar"
header=$(driver find-child "$main" InBoxItemClass) || fail "no column header"
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
[ "$(driver acc "$toolbar" | cut -f1,4)" = "$(printf 'toolbar\t5')" ] || fail "toolbar: $(driver acc "$toolbar")"
buttons=$(driver acc-items "$toolbar" | cut -f2- | tr '\t' '|' | tr '\n' ';')
[ "$buttons" = "pushbutton|normal|New address;pushbutton|normal|New Group;pushbutton|unavailable|Properties;pushbutton|unavailable|Delete;pushbutton|normal|Find;" ] ||
  fail "toolbar buttons: $buttons"
[ "$(driver acc-action "$toolbar" 1 | cut -f1)" = Press ] || fail "button action: $(driver acc-action "$toolbar" 1)"
columns=$(driver acc-items "$header" | cut -f2- | tr '\t' '|' | tr '\n' ';')
[ "$columns" = "columnheader|normal|Name;columnheader|normal|E-mail address;columnheader|normal|Memo;" ] ||
  fail "header columns: $columns"
[ "$(driver acc-action "$header" 2 | cut -f1)" = Sort ] && [ -z "$(driver acc-action "$header" 3 | cut -f1)" ] ||
  fail "column actions"
[ "$(driver acc "$status" | cut -f1,3,4)" = "$(printf 'statusbar\t\t0')" ] || fail "status bar: $(driver acc "$status")"
find_button=$(driver child "$toolbar" 189)
driver send "$main" WM_SETCURSOR "0x$find_button" 0 >/dev/null
wait_for '[ "$(driver acc "$status" | cut -f3)" = "Find a item." ]' || fail "status with a hint: $(driver acc "$status")"
pass "panes"

echo "== selection and caret show in the states, the selection and the focus"
driver lb-select "$main" 190 1 3
wait_for '[ "$(driver acc-selection "$list" | tr "\n" " ")" = "2 4 " ]' ||
  fail "selection: $(driver acc-selection "$list" | tr '\n' ' ')"
[ "$(states | cut -d' ' -f2)" = "selected+focusable+selectable" ] || fail "states: $(states)"
[ "$(driver acc-navigate "$list" 2 5)" = 3 ] && [ "$(driver acc-navigate "$list" 0 8)" = 6 ] ||
  fail "navigation"
driver acc-select "$list" 5 2 || fail "accSelect refused"
wait_for '[ "$(driver acc-selection "$list" | tr "\n" " ")" = "5 " ]' || fail "accSelect: $(driver acc-selection "$list")"
wait_for '[ "$(driver acc-items "$toolbar" 3 1 | cut -f3)" = normal ]' ||
  fail "accSelect did not enable Properties as a click does: $(driver acc-items "$toolbar" 3 1)"
pass "selection"

# What a reader hears from the entry list from here on.
EVENTS=$BOOK/events.txt
(exec wine "$KALDRIVER" acc-events "$list" 120 > "$EVENTS" 2>/dev/null) &
STARTED+=("$!")
wait_for 'grep -q READY "$EVENTS"' || fail "the event listener did not start"
heard() { wait_for "tr -d '\r' < '$EVENTS' | grep -qx '$1'" || fail "no '$1' event; heard: $(tr -d '\r\n' < "$EVENTS" | tr -s ' ')"; }

echo "== after a sort by name (the Name column's default action) the lines read in the new order"
driver acc-do "$header" 1 || fail "the Name column refused to sort"
want='listitem|anna Berg, anna@example.org;listitem|bea Lind, Oslo;listitem|Bruno Keller, bruno@example.org, Berlin;listitem|Carla Rossi, carla@example.org;listitem|Cyril Ott, cyril@example.org;listitem|Tennis club, group, Tuesdays;'
wait_for '[ "$(names)" = "$want" ]' || fail "items after the sort: $(names)"
heard "reorder 0"
pass "sorted"

echo "== type-ahead: \"ca\" selects Carla Rossi; \"b\" twice steps to the second b entry"
selected_name() { driver acc-items "$list" | awk -F'\t' '$3 ~ /selected/ {print $4}' | tr '\n' ';'; }
driver acc-select "$list" 4 3  # focus and caret on Carla Rossi: "c" alone moves on to Cyril Ott
# Real keys, typed into the window that has the keyboard: the path a user's typing takes.
wait_for '[ "$(driver focused "$main" | cut -f1)" = 190 ]' || fail "the list does not have the focus: $(driver focused "$main")"
xdotool type --delay 50 ca
wait_for '[ "$(selected_name)" = "Carla Rossi, carla@example.org;" ]' || fail "after ca: $(selected_name)"
sleep 1.2  # the typed text lapses after a second without typing
xdotool type b
wait_for '[ "$(selected_name)" = "bea Lind, Oslo;" ]' || fail "after b: $(selected_name)"
xdotool type b
wait_for '[ "$(selected_name)" = "Bruno Keller, bruno@example.org, Berlin;" ]' || fail "after b b: $(selected_name)"
[ "$(driver lb-sel "$main" 190 | tr '\n' ' ')" = "2 " ] || fail "list selection: $(driver lb-sel "$main" 190)"
heard "selection 5"  # Cyril Ott after "c"
heard "selection 4"  # back to Carla Rossi after "ca"
heard "focus 3"      # Bruno Keller holds the caret in the focused list
driver command "$main" 103
dialog=$(driver find-dialog Properties 104) || fail "Properties did not open"
[ "$(driver text "$dialog" 100)" = "Bruno Keller" ] || fail "Properties opened on $(driver text "$dialog" 100)"
pass "type-ahead"

echo "== an edit reads at once"
driver settext "$dialog" 100 "Bruno Kellermann"
driver click "$dialog" 1
driver gone "$dialog" || fail "the dialog stayed"
wait_for '[ "$(driver acc-items "$list" 3 1 | cut -f4)" = "Bruno Kellermann, bruno@example.org, Berlin" ]' ||
  fail "after the edit: $(driver acc-items "$list" 3 1)"
heard "namechange 3"
pass "edit"

echo "== in German the names are the German set's"
driver command "$main" 110
wait_exit "$LAST_PID" || fail "the book did not end"
printf '[Application]\nlanguage=1\n' > "$SETTINGS"
start_book
main=$(driver find ZuAddressBook -) || fail "no German main window"
list=$(driver child "$main" 190)
[ "$(driver acc "$list" | cut -f3)" = Adressen ] || fail "German list name: $(driver acc "$list")"
[ "$(driver acc-items "$list" 6 1 | cut -f4)" = "Tennis club, Gruppe, Tuesdays" ] ||
  fail "German group line: $(driver acc-items "$list" 6 1)"
[ "$(driver acc-action "$list" 1 | cut -f1 | iconv -f cp1252 -t utf-8)" = "Öffnen" ] ||
  fail "German default action: $(driver acc-action "$list" 1)"
pass "German"
