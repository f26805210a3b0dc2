#!/bin/bash
# The panes as a user works them: toolbar enabling and clicks, tooltips and status hints under
# the real pointer, sorting by a press on a title, and resizing a column by dragging.
source "$(dirname "$0")/lib.sh"

write_persons 'Cy|c@c|;;|' 'ann|b@b|;;|' 'Bob|a@a|;;|'
start_book
main=$(main_window) || fail "no main window"
toolbar=$(driver find-child "$main" ToolBarClass) || fail "no toolbar"
header=$(driver find-child "$main" InBoxItemClass) || fail "no column header"
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
enabled() { for id in 181 182 183 184 189; do driver enabled "$toolbar" "$id"; done | tr -d '\n'; }
order() { list_data "$main" 190 | tr '\n' ' '; }
index_of() { list_data "$main" 190 | grep -n -x "$1" | cut -d: -f1 | awk '{print $1 - 1}'; }

echo "== toolbar buttons follow the selection"
[ "$(enabled)" = 11001 ] || fail "nothing selected: buttons $(enabled)"
driver lb-select "$main" 190 0
wait_for '[ "$(enabled)" = 11111 ]' || fail "one selected: buttons $(enabled)"
driver lb-select "$main" 190 0 1
wait_for '[ "$(enabled)" = 11011 ]' || fail "two selected: buttons $(enabled)"
pass "enabling"

echo "== a press on a title sorts; the pressed cell is drawn sunken until the release"
press() { driver post "$header" WM_LBUTTONDOWN 1 $(( (5 << 16) | $1 )); }
release() { driver post "$header" WM_LBUTTONUP 0 $(( (5 << 16) | $1 )); }
press 60; release 60
wait_for '[ "$(order)" = "0x10000 0x20000 0x0 " ]' || fail "name ascending: $(order)"
press 60; release 60
wait_for '[ "$(order)" = "0x0 0x20000 0x10000 " ]' || fail "name descending: $(order)"
press 160; release 160
wait_for '[ "$(order)" = "0x20000 0x10000 0x0 " ]' || fail "e-mail ascending: $(order)"
pass "sorting"

echo "== the status hint and the tooltip follow the real pointer"
# Disabled buttons get no mouse input, so the pointer goes to the always enabled "New address".
read -r bl bt br bb <<< "$(driver rect "$(driver child "$toolbar" 181)")"
read -r sw sh sx sy <<< "$(driver client "$status")"
band_colour() {
  screenshot "$BOOK/status.png"
  convert "$BOOK/status.png" -format '%[hex:u.p{'"$((sx + sw - 6)),$((sy + 5))"'}]' info: 2>/dev/null
}
xdotool mousemove $(( (bl + br) / 2 )) $(( (bt + bb) / 2 ))
wait_for '[ "$(band_colour)" = BEBEBE ]' 20 || fail "no hint band over New address: $(band_colour)"
wait_for '[ "$(driver count tooltips_class32 -)" -ge 1 ]' 25 || fail "no tooltip over New address"
screenshot "$BOOK/tooltip.png"
read -r lw lh lx ly <<< "$(driver client "$(driver child "$main" 190)")"
xdotool mousemove $((lx + lw / 2)) $((ly + lh / 2))
wait_for '[ "$(band_colour)" = C0C0C0 ]' 20 || fail "the hint stayed over the entry list: $(band_colour)"
pass "hints"

echo "== the Delete button removes the selected entry from the book"
driver lb-select "$main" 190 "$(index_of 0x0)"
driver click "$toolbar" 184
wait_for '[ "$(list_count "$main" 190)" = 2 ]' || fail "entries after Delete: $(list_count "$main" 190)"
[ "$(head -c 4 personal.inf | od -An -tu4 | tr -d ' ')" = 2 ] || fail "personal.inf still holds Cy"
pass "toolbar delete"

echo "== dragging the Name boundary right by 30 widens Name and narrows Memo"
driver post "$header" WM_LBUTTONDOWN 1 $(( (5 << 16) | 126 ))
driver post "$header" WM_MOUSEMOVE 1 $(( (5 << 16) | 141 ))
driver post "$header" WM_MOUSEMOVE 1 $(( (5 << 16) | 156 ))
driver post "$header" WM_LBUTTONUP 0 $(( (5 << 16) | 156 ))
sleep 0.5
driver post "$main" WM_CLOSE 0 0
wait_exit "$LAST_PID" || fail "did not close"
[ "$(setting InBox attribute) $(setting InBox sender) $(setting InBox date)" = "26 130 100" ] ||
  fail "widths after the drag: $(setting InBox attribute) $(setting InBox sender) $(setting InBox date)"
pass "column drag"
