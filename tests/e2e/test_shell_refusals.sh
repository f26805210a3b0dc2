#!/bin/bash
# The two refusals read exactly as they should, create no main window and end with exit code 0
# once OK is pressed.
source "$(dirname "$0")/lib.sh"

refusal() {  # expected text without its carriage return
  local box text
  box=$(driver find "#32770" "Address Book") || fail "no refusal box"
  text=$(driver msgbox "Address Book")
  [ "$text" = "$1" ] || fail "refusal reads '$text', want '$1'"
  [ "$(driver -a count ZuAddressBook -)" = "$2" ] || fail "main windows: $(driver -a count ZuAddressBook -)"
  driver click "$box" 1
  wait_exit "$LAST_PID" || fail "the refused copy kept running"
  wait "$LAST_PID" && code=0 || code=$?
  [ "$code" = 0 ] || fail "exit code $code"
}

for mode in /o /p; do
  start_book "$mode"
  refusal "Can't Open!!\"Port Settings(Velmora Quillon)\" not Found" 0
  pass "$mode without the host window"
done

start_book
first=$LAST_PID
main=$(main_window) || fail "no first copy"
start_book
refusal "Can't Open!!Already Opening" 1
pass "second copy"
driver command "$main" 110
wait_exit "$first" || fail "first copy did not end"
