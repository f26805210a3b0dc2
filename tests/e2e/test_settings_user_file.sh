#!/bin/bash
# When the Windows directory's "zuadr.ini" cannot be written (as for a user without administrator
# rights; made so here by a folder of that name), the settings go to the user's own "zuadr.ini"
# and come back from it at the next start.
source "$(dirname "$0")/lib.sh"
user_ini=$USER_SETTINGS_DIR/zuadr.ini
cleanup() {
  stop_started
  [ ! -d "$SETTINGS" ] || rmdir "$SETTINGS"
  rm -rf "$USER_SETTINGS_DIR"
}
trap cleanup EXIT
user_key() { [ -f "$user_ini" ] && tr -d '\r' < "$user_ini" | sed -n "/^\[$1\]/,/^\[/s/^$2=//p"; }

write_persons 'Ann|ann@x|;;|'

echo "== the Windows directory's file refuses: placement and the close's values go to the user's"
mkdir "$SETTINGS"
start_book
pid=$LAST_PID
main=$(main_window) || fail "no main window"
wait_for '[ "$(user_key window width)" = 544 ]' || fail "no placement in the user's file: $(cat "$user_ini" 2>&1)"
[ "$(user_key window x) $(user_key window y)" = "240 224" ] || fail "user's placement: $(cat "$user_ini")"
driver command "$main" 110
wait_exit "$pid" || fail "Exit did not end the program"
[ "$(user_key InBox attribute) $(user_key InBox sender) $(user_key InBox date)" = "26 100 100" ] ||
  fail "column widths at close: $(cat "$user_ini")"
[ "$(user_key InBox subject)" -gt 0 ] && [ "$(user_key window zoom)" = 0 ] ||
  fail "subject or zoom at close: $(cat "$user_ini")"
pass "written to the user's file"

echo "== the next start reads the user's file: placement and column widths come back"
printf '[window]\r\nx=-40\r\ny=30\r\nwidth=600\r\nheight=400\r\n[InBox]\r\nattribute=30\r\nsender=90\r\ndate=110\r\n' > "$user_ini"
start_book
pid=$LAST_PID
main=$(main_window) || fail "no main window at the second start"
read -r left top right bottom < <(driver rect "$main")
[ "$left $top $((right - left))" = "-40 30 600" ] || fail "placement not used: $left $top $right $bottom"
[ $((bottom - top)) -le 400 ] && [ $((bottom - top)) -gt 380 ] || fail "height $((bottom - top))"
driver command "$main" 110
wait_exit "$pid" || fail "Exit did not end the program"
[ "$(user_key InBox attribute) $(user_key InBox sender) $(user_key InBox date)" = "30 90 110" ] ||
  fail "column widths did not come back: $(cat "$user_ini")"
[ "$(user_key window x) $(user_key window width)" = "-40 600" ] || fail "placement: $(cat "$user_ini")"
pass "read back from the user's file"

echo "== a writable Windows directory's file is used as before; no user's file appears"
rmdir "$SETTINGS"
rm -rf "$USER_SETTINGS_DIR"
start_book
pid=$LAST_PID
main=$(main_window) || fail "no main window with a writable settings file"
driver command "$main" 110
wait_exit "$pid" || fail "Exit did not end the program"
[ "$(setting window width) $(setting InBox sender)" = "544 100" ] || fail "shared file: $(cat "$SETTINGS")"
[ ! -e "$USER_SETTINGS_DIR" ] || fail "a user's settings folder was made: $(ls -R "$USER_SETTINGS_DIR")"
pass "shared file kept"
