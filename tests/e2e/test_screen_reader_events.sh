#!/bin/bash
# What a screen reader hears when the entry list's selection changes (a click, Ctrl+click,
# Shift+click, a drag, keys, accSelect, Undo's reselection) and what the list's and the toolbar
# buttons' objects answer to the questions a reader may ask: hit tests, selection flags, ids out
# of range, null out pointers.
source "$(dirname "$0")/lib.sh"

people=()
for i in $(seq -w 1 30); do people+=("Person $i|p$i@example.org|;;|"); done
write_persons "${people[@]}"
start_book
main=$(main_window) || fail "no main window"
list=$(driver child "$main" 190) || fail "no entry list"
toolbar=$(driver find-child "$main" ToolBarClass) || fail "no toolbar"
wait_for '[ "$(list_count "$main" 190)" = 30 ]' || fail "the book shows $(list_count "$main" 190) entries"
selected() { driver lb-sel "$main" 190 | tr '\n' ' '; }

EVENTS=$BOOK/events.txt
(exec wine "$KALDRIVER" acc-events "$list" 240 > "$EVENTS" 2>/dev/null) &
STARTED+=("$!")
wait_for 'grep -q READY "$EVENTS"' || fail "the event listener did not start"
MARK=0
mark() { MARK=$(wc -l < "$EVENTS"); }
since() { tail -n +$((MARK + 1)) "$EVENTS" | tr -d '\r' | { grep '^selection' || true; } | tr '\n' ';'; }
# Waits until the selection events since the mark are exactly $2 (";"-joined), for step $1.
hears() { wait_for "[ \"\$(since)\" = '$2' ]" || fail "$1: heard '$(since)', want '$2'"; }
# The middle of child $1 on the screen, from its accessible location.
centre() { driver acc-action "$list" "$1" | cut -f2 | awk '{print int($1 + $3 / 2), int($2 + $4 / 2)}'; }
click_item() { local x y; read -r x y <<< "$(centre "$1")"; xdotool mousemove "$x" "$y"; shift; xdotool "$@"; }

echo "== the mouse: click, Ctrl+click twice, Shift+click, a drag"
mark; click_item 3 click 1
hears "click" "selection 3;"
mark; click_item 5 keydown ctrl click 1 keyup ctrl
hears "Ctrl+click" "selectionadd 5;"
sleep 0.6  # beyond the double-click time: a second click on the same item is a click of its own
mark; click_item 5 keydown ctrl click 1 keyup ctrl
hears "Ctrl+click again" "selectionremove 5;"
# The anchor is where the last Ctrl+click was: 5 to 8 become the selection, 3 leaves it.
mark; click_item 8 keydown shift click 1 keyup shift
hears "Shift+click from 5 to 8" "selectionadd 5;selectionadd 6;selectionadd 7;selectionadd 8;selectionremove 3;"
[ "$(selected)" = "4 5 6 7 " ] || fail "after Shift+click: $(selected)"
read -r x1 y1 <<< "$(centre 2)"
read -r x4 y4 <<< "$(centre 4)"
mark; xdotool mousemove "$x1" "$y1" mousedown 1 mousemove "$x1" $(( (y1 + y4) / 2 )) mousemove "$x4" "$y4" mouseup 1
wait_for '[ "$(selected)" = "1 2 3 " ]' || fail "the drag from 2 to 4 selected $(selected)"
hears "drag from 2 to 4" "selection 2;selectionadd 3;selectionadd 4;"
pass "mouse"

echo "== keys: Down, Shift+Down, and Shift+End over more than 20 items"
mark; xdotool key --clearmodifiers Down
hears "Down" "selection 5;"
mark; xdotool key --clearmodifiers shift+Down
hears "Shift+Down" "selectionadd 6;"
mark; xdotool key --clearmodifiers shift+End
hears "Shift+End" "selectionwithin 0;"
[ "$(driver lb-sel "$main" 190 | wc -l)" = 26 ] || fail "Shift+End selected $(selected)"
pass "keys"

echo "== accSelect: take, add, extend from the anchor, and what it refuses"
mark; driver acc-select "$list" 10 2
hears "take selection" "selection 10;"
mark; driver acc-select "$list" 12 8
hears "add" "selectionadd 12;"
mark; driver acc-select "$list" 15 4  # extend: the anchor (12, as after a Ctrl+click) is selected, so 12 to 15 are
hears "extend" "selectionadd 13;selectionadd 14;selectionadd 15;"
[ "$(selected)" = "9 11 12 13 14 " ] || fail "after extending: $(selected)"
mark; driver acc-select "$list" 10 20  # extend with remove: 10 to 12 leave
hears "extend and remove" "selectionremove 10;selectionremove 12;"
[ "$(selected)" = "12 13 14 " ] || fail "after extending with remove: $(selected)"
E_INVALIDARG=0x80070057
for flags in 10 18 24 6 64 128; do  # take+add, take+remove, add+remove, take+extend, unknown bits
  [ "$(driver acc-select-hr "$list" 3 "$flags")" = $E_INVALIDARG ] ||
    fail "accSelect with flags $flags: $(driver acc-select-hr "$list" 3 "$flags")"
done
[ "$(driver acc-select-hr "$list" 31 2)" = $E_INVALIDARG ] || fail "accSelect of child 31 of 30"
[ "$(driver acc-select-hr "$list" 3 0)" = 0x00000000 ] || fail "accSelect with no flag"
[ "$(selected)" = "12 13 14 " ] || fail "a refused accSelect changed the selection: $(selected)"
pass "accSelect"

echo "== children by id, null out pointers, and the hit test from the top item"
[ "$(driver acc-probe "$list" 3 | sed -n 1p)" = "$(printf 'child\t0x00000001')" ] || fail "get_accChild(3): $(driver acc-probe "$list" 3 | sed -n 1p)"
for child in 0 31 -1; do
  [ "$(driver acc-probe "$list" "$child" | sed -n 1p)" = "$(printf 'child\t%s' $E_INVALIDARG)" ] ||
    fail "get_accChild($child): $(driver acc-probe "$list" "$child" | sed -n 1p)"
done
# Out of process the proxy refuses a null out pointer itself (RPC_X_NULL_REF_POINTER); any
# answer that came from the object is E_POINTER.
nulls=$(driver acc-probe "$list" 1 | tail -n +2 | grep -v -e 0x80004003 -e 0x800706F4 || true)
[ -z "$nulls" ] || fail "null out pointers not answered with E_POINTER: $(tr '\n' ' ' <<< "$nulls")"
driver send "$list" 0x197 0 0 >/dev/null  # LB_SETTOPINDEX: Shift+End scrolled to the end
wait_for '[ "$(driver send "$list" 0x18E 0 0)" = 0 ]' || fail "the list did not scroll to the top"
for child in 1 7; do
  read -r x y <<< "$(centre "$child")"
  [ "$(driver acc-hit "$list" "$x" "$y")" = "$child" ] || fail "hit test on child $child: $(driver acc-hit "$list" "$x" "$y")"
done
driver send "$list" 0x197 15 0 >/dev/null  # LB_SETTOPINDEX: the 16th item at the top
wait_for '[ "$(driver send "$list" 0x18E 0 0)" = 15 ]' || fail "the list did not scroll"
read -r x y <<< "$(centre 20)"
[ "$(driver acc-hit "$list" "$x" "$y")" = 20 ] || fail "hit test on child 20 after scrolling: $(driver acc-hit "$list" "$x" "$y")"
read -r lw lh lx ly <<< "$(driver client "$list")"
[ "$(driver acc-hit "$list" $((lx + 5)) $((ly + lh + 40)) | cut -d' ' -f1)" = none ] || fail "a point below the list hit something"
pass "questions"

echo "== Undo's reselection is heard"
driver send "$list" 0x197 0 0 >/dev/null
wait_for '[ "$(driver send "$list" 0x18E 0 0)" = 0 ]' || fail "the list did not scroll back"
mark; click_item 2 click 1
click_item 3 keydown ctrl click 1 keyup ctrl
hears "click and Ctrl+click" "selection 2;selectionadd 3;"
driver command "$main" 105 >/dev/null
wait_for '[ "$(list_count "$main" 190)" = 28 ]' || fail "the delete did not run"
mark; driver command "$main" 120 >/dev/null
wait_for '[ "$(list_count "$main" 190)" = 30 ]' || fail "the undo did not run"
hears "undo" "selectionadd 2;selectionadd 3;"
pass "undo"

echo "== each toolbar button is a named push button as a window of its own"
mark; click_item 1 click 1  # one entry selected: every button enabled
hears "click before the buttons" "selection 1;"
want=("181|normal|New address" "182|normal|New Group" "183|normal|Properties" "184|normal|Delete" "189|normal|Find")
for entry in "${want[@]}"; do
  id=${entry%%|*}
  button=$(driver child "$toolbar" "$id")
  got=$(driver acc "$button") || fail "no object for button $id"
  [ "$(cut -f1-4 <<< "$got" | tr '\t' '|')" = "pushbutton|${entry#*|}|0" ] || fail "button $id reads '$got'"
  [ "$(driver acc-action "$button" 0 | cut -f1)" = Press ] || fail "button $id action: $(driver acc-action "$button" 0)"
done
driver lb-select "$main" 190 >/dev/null  # nothing selected, with the list's notification
wait_for '[ "$(driver acc "$(driver child "$toolbar" 184)" | cut -f2)" = unavailable ]' ||
  fail "the disabled Delete button reads $(driver acc "$(driver child "$toolbar" 184)")"
driver acc-do "$(driver child "$toolbar" 189)" 0 || fail "Press on the Find button was refused"
driver find-dialog Find 103 >/dev/null || fail "Press on the Find button opened nothing"
pass "buttons"
