#!/bin/bash
# Window styles the dialogs are made with (About without a close box, borderless member lists)
# and the length texts are stored with: 300 characters typed into a description, a memo, a
# group name or a group memo are stored as their first 258.
source "$(dirname "$0")/lib.sh"

WS_BORDER=0x00800000
WS_SYSMENU=0x00080000
WS_CAPTION=0x00C00000
has() { (( ($1 & $2) == $2 )); }
lacks() { (( ($1 & $2) == 0 )); }
style_of() { driver style "$@" || fail "no style for $*"; }

write_persons 'Anna|a@x|;;|'
start_book
main=$(main_window) || fail "no main window"

echo "== About: a caption, no system menu"
driver command "$main" 112
about=$(driver find-dialog "About Address Book" 401) || fail "About did not open"
style=$(style_of "$about")
has "$style" $WS_CAPTION || fail "About style $style has no caption"
lacks "$style" $WS_SYSMENU || fail "About style $style has a system menu"
driver click "$about" 1
driver gone "$about" || fail "About stayed open"
pass "About frame"

long=$(printf 'x%.0s' $(seq 1 300))
first258=${long:0:258}

echo "== a person's description and memo of 300 characters"
driver command "$main" 100
dialog=$(driver find-dialog Properties 105) || fail "no person dialog"
driver settext "$dialog" 100 "D$long"
driver settext "$dialog" 105 "M$long"
driver click "$dialog" 1
driver gone "$dialog" || fail "the person dialog stayed open"
wait_for '[ "$(book_summary | grep -c "^P D")" = 1 ]' || fail "person not stored: $(book_summary)"
[ "$(book_summary | grep '^P D')" = "P D${first258:1}||;;|M${first258:1}" ] ||
  fail "person stored as: $(book_summary | grep '^P D' | awk '{print length($0)}') characters"
pass "person texts cut to 258"

echo "== the group dialog's member list has no border; name and memo of 300 characters"
driver command "$main" 101
group=$(driver find-dialog Properties 104) || fail "no group dialog"
lacks "$(style_of "$group" 101)" $WS_BORDER || fail "member list has a border"
driver click "$group" 102
members=$(driver find-dialog "Select members" 103) || fail "no Select members"
lacks "$(style_of "$members" 100)" $WS_BORDER || fail "person list has a border"
lacks "$(style_of "$members" 101)" $WS_BORDER || fail "chosen list has a border"
driver click "$members" 2
driver gone "$members" || fail "Select members stayed open"
driver settext "$group" 100 "G$long"
driver settext "$group" 105 "N$long"
driver click "$group" 1
driver gone "$group" || fail "the group dialog stayed open"
wait_for '[ -n "$(book_summary | grep "^G G")" ]' || fail "group not stored: $(book_summary)"
[ "$(book_summary | grep '^G G')" = "G G${first258:1}|N${first258:1}|0|0|" ] || fail "group stored as: $(book_summary | grep '^G')"
pass "group texts cut to 258; lists without border"
