#!/bin/bash
# The search box, with real keys: narrowing by part of an address and by two words in either
# order, accents and case; Esc, Down and Enter; Delete and Ctrl+A edit the box; delete, undo and
# a new person while narrowed; keys typed at once narrow at most twice; Select members' box; and
# beside the host, "ann" Enter "bob" Enter Set hands over exactly those two addresses.
source "$(dirname "$0")/lib.sh"

write_persons 'Ann Lee|ann@x.org|Ann;;Lee|' 'Bob Berg|bob@gmail.com|;;|' 'Zoë Müller|zoe@y.org|;;|' \
  'Ashlee Moor|ashlee@z.org|;;|likes tea'
write_groups 'Team|Fridays|Ann Lee'
start_book
main=$(main_window) || fail "no main window"
toolbar=$(driver find-child "$main" ToolBarClass)
status=$(driver find-child "$main" StatusWindowClass)
edit=$(driver child "$toolbar" 191) || fail "no search box in the toolbar"
focus_id() { driver focused "$main" | cut -f1; }
shown() { list_data "$main" 190 | tr '\n' ' '; }
status_text() { driver acc "$status" | cut -f3; }
# Types into the box from its start: Ctrl+E selects the old text, the new text replaces it.
search() {
  xdotool key ctrl+e
  wait_for '[ "$(focus_id)" = 191 ]' || fail "Ctrl+E left the focus at $(driver focused "$main")"
  xdotool type --delay 30 "$1"
  wait_for "[ \"\$(driver text '$edit')\" = '$1' ]" || fail "the box reads '$(driver text "$edit")' after typing '$1'"
}
expect_shown() {
  wait_for "[ \"\$(shown)\" = '$1' ]" || fail "$2: the list shows '$(shown)', want '$1'"
}

echo "== the box: its place, its reader name, the hint while empty"
wait_for '[ "$(focus_id)" = 190 ]' || fail "focus after start-up: $(driver focused "$main")"
read -r bl bt br bb <<< "$(driver rect "$edit")"
read -r fl ft fr fb <<< "$(driver rect "$(driver child "$toolbar" 189)")"
[ "$bl" -gt "$fr" ] && [ $((br - bl)) = 180 ] || fail "box at $bl-$br, the Find button ends at $fr"
[ "$(driver acc "$edit" | cut -f3)" = Search ] || fail "reader name: $(driver acc "$edit")"
pass "box placed and named"

echo "== narrowing: part of an address, two words in either order, accents and case"
search gmail
expect_shown '0x10000 ' "gmail"
[ "$(status_text)" = "1 of 5 entries" ] || fail "status: '$(status_text)'"
[ "$(driver lb-sel "$main" 190)" = 0 ] || fail "the first shown entry is not selected"
search 'lee ann'
expect_shown '0x0 ' "lee ann"
search 'ANN lee'
expect_shown '0x0 ' "ANN lee"
search muller
expect_shown '0x20000 ' "muller finds Müller"
search lee
expect_shown '0x0 0x30000 ' "lee"
search fri
expect_shown '0x1 ' "a group by its memo"
search 'lee q'
expect_shown '' "no match"
[ "$(status_text)" = "0 of 5 entries" ] || fail "status without a match: '$(status_text)'"
pass "narrowed"

echo "== Esc clears the box, a second Esc gives the focus to the list"
xdotool key Escape
expect_shown '0x0 0x10000 0x20000 0x30000 0x1 ' "after Esc"
[ -z "$(status_text)" ] || fail "status after Esc: '$(status_text)'"
[ "$(focus_id)" = 191 ] || fail "the first Esc moved the focus"
xdotool key Escape
wait_for '[ "$(focus_id)" = 190 ]' || fail "second Esc: $(driver focused "$main")"
pass "Esc"

echo "== Down and Enter move to the list; Tab goes back and forth"
search bob
xdotool key Down
wait_for '[ "$(focus_id)" = 190 ]' || fail "Down: $(driver focused "$main")"
xdotool key shift+Tab
wait_for '[ "$(focus_id)" = 191 ]' || fail "Shift+Tab from the list: $(driver focused "$main")"
xdotool key Return
wait_for '[ "$(focus_id)" = 190 ]' || fail "Enter: $(driver focused "$main")"
xdotool key Tab
wait_for '[ "$(focus_id)" = 191 ]' || fail "Tab from the list: $(driver focused "$main")"
pass "Down, Enter, Tab"

echo "== Delete and Ctrl+A edit the box; no entry goes"
book=$(bytes "$BOOK/personal.inf")
search bobx
xdotool key Left Delete
wait_for '[ "$(driver text "$edit")" = bob ]' || fail "Delete in the box: '$(driver text "$edit")'"
expect_shown '0x10000 ' "after Delete in the box"
xdotool key ctrl+a Delete
wait_for '[ -z "$(driver text "$edit")" ]' || fail "Ctrl+A Delete left '$(driver text "$edit")'"
expect_shown '0x0 0x10000 0x20000 0x30000 0x1 ' "the box emptied"
settled "$main"
[ "$(bytes "$BOOK/personal.inf")" = "$book" ] || fail "Delete in the box changed the book"
pass "editing keys"

echo "== delete and undo while narrowed; a new person stays in view until the text changes"
search lee
expect_shown '0x0 0x30000 ' "lee"
driver lb-select "$main" 190 1
driver command "$main" 105
expect_shown '0x0 ' "after deleting Ashlee"
[ "$(status_text)" = "1 of 4 entries" ] || fail "status after the delete: '$(status_text)'"
driver command "$main" 120
expect_shown '0x0 0x30000 ' "after the undo"
driver command "$main" 100
dialog=$(driver find-dialog Properties 105) || fail "person dialog did not open"
driver settext "$dialog" 100 Dora
driver click "$dialog" 1
driver gone "$dialog" || fail "OK did not close the person dialog"
expect_shown '0x40000 0x0 0x30000 ' "the new person while narrowed"
search leem
expect_shown '' "leem"
search lee
expect_shown '0x0 0x30000 ' "lee again: Dora does not match"
pass "changes while narrowed"

echo "== keys typed at once narrow at most twice"
xdotool key Escape
expect_shown '0x40000 0x0 0x10000 0x20000 0x30000 0x1 ' "cleared"
EVENTS=$BOOK/events.txt
(exec wine "$KALDRIVER" acc-events "$status" 60 > "$EVENTS" 2>/dev/null) &
STARTED+=("$!")
wait_for 'grep -q READY "$EVENTS"' || fail "the event listener did not start"
driver type "$edit" ann
expect_shown '0x0 ' "ann typed at once"
wait_for '[ "$(status_text)" = "1 of 6 entries" ]' || fail "status: '$(status_text)'"
settled "$main"
sleep 1  # events reach the listener out of process
narrowings=$(tr -d '\r' < "$EVENTS" | grep -c '^namechange 0$' || true)
[ "$narrowings" -ge 1 ] && [ "$narrowings" -le 2 ] || fail "the status bar changed $narrowings times for \"ann\""
pass "ann typed at once: $narrowings narrowing(s)"

echo "== Select members: the box narrows, Enter appends, Esc clears and then cancels"
driver command "$main" 101
group=$(driver find-dialog Properties 104) || fail "group dialog did not open"
driver click "$group" 102
select=$(driver find-dialog "Select members" 104) || fail "Select members did not open"
wait_for '[ "$(driver focused "$select" | cut -f1)" = 104 ]' || fail "focus in Select members: $(driver focused "$select")"
[ "$(driver acc "$(driver child "$select" 100)" | cut -f3)" = Description ] || fail "person list name"
xdotool type --delay 30 berg
wait_for '[ "$(list_data "$select" 100 | tr "\n" " ")" = "0x10000 " ]' || fail "narrowed persons: $(list_data "$select" 100)"
xdotool key Return
wait_for '[ "$(list_data "$select" 101 | tr "\n" " ")" = "0x10000 " ]' || fail "Enter appended $(list_data "$select" 101)"
[ "$(driver count "#32770" "Select members")" = 1 ] || fail "Enter closed Select members"
xdotool key Escape
wait_for '[ "$(list_count "$select" 100)" = 5 ]' || fail "Esc did not clear the box: $(list_count "$select" 100)"
[ "$(driver count "#32770" "Select members")" = 1 ] || fail "the first Esc closed Select members"
xdotool key Escape
driver gone "$select" || fail "Esc with an empty box did not cancel"
driver click "$group" 2
driver gone "$group" || fail "the group dialog stayed open"
pass "select members"
driver command "$main" 110
wait_exit "$LAST_PID" || fail "the program did not end"

echo "== beside the host: ann Enter bob Enter Set"
start_host
start_book /p
main=$(main_window) || fail "no main window in /p"
box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box"
toolbar=$(driver find-child "$main" ToolBarClass)
edit=$(driver child "$toolbar" 191)
wait_for '[ "$(focus_id)" = 190 ]' || fail "focus after start-up: $(driver focused "$main")"
search ann
expect_shown '0x0 ' "ann"
xdotool key Return
wait_for '[ "$(list_count "$box" 189)" = 1 ]' || fail "Enter added $(list_count "$box" 189)"
[ "$(focus_id)" = 191 ] || fail "Enter left the box: $(driver focused "$main")"
xdotool type --delay 30 bob
wait_for '[ "$(driver text "$edit")" = bob ]' || fail "typing after Enter: '$(driver text "$edit")'"
expect_shown '0x10000 ' "bob"
xdotool key Return
wait_for '[ "$(list_count "$box" 189)" = 2 ]' || fail "the second Enter: $(list_count "$box" 189)"
book_pid=$LAST_PID
driver click "$box" 188
wait_exit "$book_pid" || fail "Set did not end the program"
wait_for 'grep -q "name=c:.TempFile" "$HOST_LOG"' || fail "no hand-off: $(cat "$HOST_LOG")"
line=$(grep SENDADDR "$HOST_LOG" | tr -d '\r')
[ "$(grep -c SENDADDR "$HOST_LOG")" = 1 ] || fail "hand-offs: $(cat "$HOST_LOG")"
case $line in *'bytes=ann@x.org,bob@gmail.com,\x00') ;; *) fail "host got '$line'" ;; esac
pass "the host receives exactly the two addresses"
