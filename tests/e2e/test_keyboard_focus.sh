#!/bin/bash
# The keyboard stays in the entry list: after a dialog or Find opened from a toolbar button
# closes, and after the Delete button greys itself, the keys typed into the focused window (real
# keys, xdotool) reach the list; a click on a toolbar button never leaves the focus on it.
source "$(dirname "$0")/lib.sh"

write_persons 'Anna Berg|anna@example.org|;;|' 'Bruno Keller|bruno@example.org|;;|' \
  'Carla Rossi|carla@example.org|;;|' 'Dora Lind|dora@example.org|;;|' 'Emil Ott|emil@example.org|;;|'
start_book
main=$(main_window) || fail "no main window"
toolbar=$(driver find-child "$main" ToolBarClass) || fail "no toolbar"

focus_id() { driver focused "$main" | cut -f1; }
selected() { driver lb-sel "$main" 190 | tr '\n' ' '; }
in_list() { wait_for '[ "$(focus_id)" = 190 ]' || fail "$1: the focus is on $(driver focused "$main")"; }
# The real pointer on toolbar button $1: a click, or (with "beside") a press released off it.
press() {
  read -r l t r b <<< "$(driver rect "$(driver child "$toolbar" "$1")")"
  xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 ))
  if [ "${2:-}" = beside ]; then xdotool mousedown 1 mousemove $(( (l + r) / 2 )) $((b + 60)) mouseup 1
  else xdotool click 1; fi
}
# Real keys go to whatever window has the keyboard; the steps wait for what they did.
keys() { xdotool key --clearmodifiers "$@"; }
typed() { xdotool type --delay 50 "$1"; }

in_list "after start-up"

echo "== New address from the toolbar, closed with Esc: the keys reach the list"
press 181
dialog=$(driver find-dialog Properties 105) || fail "New address did not open"
keys Escape
driver gone "$dialog" || fail "Esc left the person dialog open"
in_list "after the person dialog"
typed ca
wait_for '[ "$(selected)" = "2 " ]' || fail "typing ca after the dialog selected '$(selected)'"
pass "back in the list after the dialog"

echo "== Properties from the toolbar"
press 183
dialog=$(driver find-dialog Properties 105) || fail "Properties did not open"
[ "$(driver text "$dialog" 100)" = "Carla Rossi" ] || fail "Properties opened on $(driver text "$dialog" 100)"
keys Escape
driver gone "$dialog" || fail "Esc left Properties open"
in_list "after Properties"
keys Down
wait_for '[ "$(selected)" = "3 " ]' || fail "Down after Properties selected '$(selected)'"
pass "Properties"

echo "== Find from the toolbar, closed with its Close button"
press 189
find=$(driver find-dialog Find 103) || fail "Find did not open"
driver click "$find" 2 >/dev/null
driver gone "$find" || fail "Find stayed open"
in_list "after Find"
keys Up
wait_for '[ "$(selected)" = "2 " ]' || fail "Up after Find selected '$(selected)'"
pass "Find"

echo "== the Delete button greys itself: the keyboard is still in the list"
press 184
wait_for '[ "$(list_count "$main" 190)" = 4 ]' || fail "the Delete button deleted nothing"
wait_for '[ "$(driver enabled "$toolbar" 184)" = 0 ]' || fail "Delete stayed enabled with nothing selected"
in_list "after the Delete button"
typed d
wait_for '[ "$(selected)" = "2 " ]' || fail "typing d after the delete selected '$(selected)'"
pass "Delete"

echo "== a press released beside a button clicks nothing and leaves no focus on it"
press 181 beside
sleep 1.1  # the typed text lapses after a second: the next letter starts a new one
in_list "after a press released beside New address"
[ "$(driver count "#32770" Properties)" = 0 ] || fail "the press released beside the button opened the dialog"
typed e
wait_for '[ "$(selected)" = "3 " ]' || fail "typing e after the press selected '$(selected)'"
pass "no focus on the button"
