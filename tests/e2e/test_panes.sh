#!/bin/bash
# The panes as a user works them: toolbar enabling and clicks, tooltips and status hints under
# the real pointer, sorting by a press on a title, and resizing a column by dragging.
source "$(dirname "$0")/lib.sh"

write_persons 'Cy|c@c|;;|' 'ann|b@b|;;|' 'Bob|a@a|;;|'
write_groups 'Zeta||Cy' 'Alpha||'
start_book
main=$(main_window) || fail "no main window"
toolbar=$(driver find-child "$main" ToolBarClass) || fail "no toolbar"
header=$(driver find-child "$main" InBoxItemClass) || fail "no column header"
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
enabled() { for id in 181 182 183 184 189; do driver enabled "$toolbar" "$id"; done | tr -d '\n'; }
order() { list_data "$main" 190 | tr '\n' ' '; }
index_of() { list_data "$main" 190 | grep -n -x "$1" | cut -d: -f1 | awk '{print $1 - 1}'; }

echo "== persons in slot order, then the groups; posted 113 sorts with the persons first"
[ "$(order)" = "0x0 0x10000 0x20000 0x1 0x10001 " ] || fail "initial order: $(order)"
driver command "$main" 113
wait_for '[ "$(order)" = "0x10000 0x20000 0x0 0x10001 0x1 " ]' || fail "113 ascending: $(order)"
driver command "$main" 113
wait_for '[ "$(order)" = "0x0 0x20000 0x10000 0x1 0x10001 " ]' || fail "113 descending: $(order)"
pass "list order"

echo "== pictures, separators, title band and status frame at their pixels"
list=$(driver child "$main" 190)
row=$(driver send "$list" 0x1A1 0 0)  # LB_GETITEMHEIGHT
read -r lw lh lx ly <<< "$(driver client "$list")"
read -r hw hh hx hy <<< "$(driver client "$header")"
read -r sw sh sx sy <<< "$(driver client "$status")"
screenshot "$BOOK/panes.png"
pixel() { convert "$BOOK/panes.png" -format "%[hex:u.p{$1,$2}]\n" info: 2>/dev/null; }
# Row 0 is Cy, a person; row 3 is Alpha, a group. The pictures stand at x = (26 - 22) / 2.
[ "$(pixel $((lx + 2 + 9)) $((ly + 1)))" = 000000 ] || fail "person picture pixel (9, 1)"
[ "$(pixel $((lx + 2 + 3)) $((ly + 1)))" = FFFFFF ] || fail "person picture pixel (3, 1)"
[ "$(pixel $((lx + 2 + 3)) $((ly + 3 * row + 1)))" = 000000 ] || fail "group picture pixel (3, 1)"
dots=$(for y in $(seq $((ly + 5 * row + 2)) $((ly + 5 * row + 13))); do pixel $((lx + 125)) "$y"; done | sort -u | tr '\n' ' ')
[ "$dots" = "000000 FFFFFF " ] || fail "separator at b2 - 1 below the rows: $dots"
[ "$(pixel $((hx + 122)) $((hy + 3)))" = BEBEBE ] || fail "title band of Name: $(pixel $((hx + 122)) $((hy + 3)))"
[ "$(pixel "$sx" "$sy")" = 6E6E6E ] && [ "$(pixel $((sx + 2)) $((sy + 2)))" = 6E6E6E ] &&
  [ "$(pixel $((sx + 4)) $((sy + sh - 3)))" = FFFFFF ] && [ "$(pixel $((sx + 4)) $((sy + 4)))" = C0C0C0 ] ||
  fail "status bar frame"
pass "pixels"

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
wait_for '[ "$(order)" = "0x10000 0x20000 0x0 0x10001 0x1 " ]' || fail "name ascending: $(order)"
press 160; release 160
wait_for '[ "$(order)" = "0x20000 0x10000 0x0 0x1 0x10001 " ]' || fail "e-mail ascending: $(order)"
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
# With an entry selected, Delete is enabled and shows its hint under the pointer.
driver lb-select "$main" 190 0
wait_for '[ "$(driver enabled "$toolbar" 184)" = 1 ]' || fail "Delete stayed disabled"
read -r dl dt dr db <<< "$(driver rect "$(driver child "$toolbar" 184)")"
xdotool mousemove $(( (dl + dr) / 2 )) $(( (dt + db) / 2 ))
wait_for '[ "$(band_colour)" = BEBEBE ]' 20 || fail "no hint band over Delete"
ink=$(convert "$BOOK/status.png" -crop "60x$((sh - 6))+$((sx + 3))+$((sy + 3))" -format '%[fx:minima.intensity]' info:)
[ "$ink" = 0 ] || fail "no hint text on the band"
xdotool mousemove $((lx + lw / 2)) $((ly + lh / 2))
pass "hints"

echo "== the Delete button removes the selected entry from the book"
driver lb-select "$main" 190 "$(index_of 0x0)"
driver click "$toolbar" 184
wait_for '[ "$(list_count "$main" 190)" = 4 ]' || fail "entries after Delete: $(list_count "$main" 190)"
[ "$(head -c 4 personal.inf | od -An -tu4 | tr -d ' ')" = 2 ] || fail "personal.inf still holds Cy"
pass "toolbar delete"

echo "== dragging the Name boundary right by 30 widens Name and narrows Memo"
driver post "$header" WM_LBUTTONDOWN 1 $(( (5 << 16) | 126 ))
driver post "$header" WM_MOUSEMOVE 1 $(( (5 << 16) | 141 ))
driver post "$header" WM_MOUSEMOVE 1 $(( (5 << 16) | 156 ))
driver post "$header" WM_LBUTTONUP 0 $(( (5 << 16) | 156 ))
# Posted to the same thread after the drag, so handled after it.
driver post "$main" WM_CLOSE 0 0
wait_exit "$LAST_PID" || fail "did not close"
[ "$(setting InBox attribute) $(setting InBox sender) $(setting InBox date)" = "26 130 100" ] ||
  fail "widths after the drag: $(setting InBox attribute) $(setting InBox sender) $(setting InBox date)"
pass "column drag"
