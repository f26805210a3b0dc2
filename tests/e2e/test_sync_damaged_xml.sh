#!/bin/bash
# Damaged answers read by the system's XML reader under Wine: a cut body, a body that is not
# well-formed, an entity bomb in a DTD (refused, never expanded) and an answer over 64 MB each
# end Connect with a message naming the server and what was wrong, and the program goes on.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"

# Starts the damaged server of MODE; sets BAD_URL.
start_bad_server() {
  local mode=$1 portfile=$BOOK/$1.port
  /usr/bin/python3 "$(dirname "$0")/bad_dav_server.py" "$mode" "$portfile" &
  CARDDAV_PIDS+=($!)
  wait_for "[ -s '$portfile' ]" 150 || fail "the $mode server did not start"
  BAD_URL=http://127.0.0.1:$(cat "$portfile")
}

start_book
main=$(main_window) || fail "no main window"
dialog=$(open_settings)
for mode in cut broken dtd huge; do
  start_bad_server "$mode"
  driver settext "$dialog" 100 "$BAD_URL/book/" >/dev/null
  driver click "$dialog" 104 >/dev/null
  text=$(driver msgbox "Address Book") || fail "$mode: Connect showed no message"
  case $mode:$text in
    huge:"$BAD_URL: no address book was found (the answer is larger than 64 MB)." |\
    cut:"$BAD_URL: no address book was found (the answer is not well-formed XML ("*")." |\
    broken:"$BAD_URL: no address book was found (the answer is not well-formed XML ("*")." |\
    dtd:"$BAD_URL: no address book was found (the answer is not well-formed XML ("*")." ) ;;
    *) fail "$mode: the message reads: $text" ;;
  esac
  box=$(driver find "#32770" "Address Book")
  driver click "$box" 1 >/dev/null
  driver gone "$box" >/dev/null || fail "$mode: the message stayed"
  [ "$(list_count "$dialog" 103)" = 0 ] || fail "$mode: the damaged answer listed an address book"
  pass "$mode: Connect refuses the answer with a message naming the server and the fault"
done
driver click "$dialog" 2 >/dev/null
driver gone "$dialog" >/dev/null || fail "Cancel did not close the dialog"
settled "$main" || fail "the program took no message after the damaged answers"
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"
pass "the program goes on after every damaged answer"
