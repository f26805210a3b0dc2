#!/bin/bash
# The program starts, registers "ZuAddressBook" with its title, and ends on command 110 (File >
# Exit) as on WM_CLOSE, writing the settings through its close handling both times.
source "$(dirname "$0")/lib.sh"

for ending in "command 110" "close"; do
  rm -f "$SETTINGS"
  start_book
  main=$(main_window) || fail "no ZuAddressBook window titled 'Address Book'"
  [ "$(driver text "$main")" = "Address Book" ] || fail "title is '$(driver text "$main")'"
  case $ending in
    command*) driver command "$main" 110 ;;
    close) driver post "$main" WM_CLOSE 0 0 ;;
  esac
  wait_exit "$LAST_PID" || fail "the program did not end on $ending"
  [ "$(driver count ZuAddressBook "Address Book")" = 0 ] || fail "a main window is left after $ending"
  [ -n "$(setting InBox subject)" ] || fail "$ending did not write the column widths"
  pass "ends on $ending"
done
