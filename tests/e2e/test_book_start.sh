#!/bin/bash
# Start-up with data files that cannot be read (held by another program) or are damaged: the
# unread file is never written over (Retry reads it again, Cancel ends with exit code 0), and a
# damaged file is told before the main window appears and copied before its first save.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/holder.sh"

bytes() { od -An -tx1 -v "$1" | tr -d ' \n'; }

unreadable_box() {  # FILE: the Retry/Cancel message for it, before any main window
  local box text
  box=$(message_box) || fail "no message for the unreadable $1"
  text=$(message_text)
  grep -q "$1 cannot be read." <<<"$text" || fail "message: $text"
  grep -q 'Retry reads it again. Cancel ends the program' <<<"$text" || fail "message: $text"
  [ "$(driver -a count ZuAddressBook -)" = 0 ] || fail "a main window exists behind the message"
  BOX=$box
}

# The main window lists $1 entries; Exit ends the program.
entries_then_exit() {
  local main
  main=$(main_window) || fail "no main window"
  [ "$(list_count "$main" 190)" = "$1" ] || fail "entries: $(list_count "$main" 190), want $1"
  driver command "$main" 110
  wait_exit "$LAST_PID" || fail "did not exit"
}

write_persons "Ann|ann@x|;;|" "Bob|||"
write_groups "Team||Ann,Bob"
persons_before=$(bytes personal.inf)

echo "== a held personal.inf: Cancel ends the program and writes nothing"
hold personal.inf
start_book
unreadable_box personal.inf
driver click "$BOX" 2
wait_exit "$LAST_PID" || fail "Cancel did not end the program"
wait "$LAST_PID" && code=0 || code=$?
[ "$code" = 0 ] || fail "exit code $code"
[ "$(bytes personal.inf)" = "$persons_before" ] || fail "personal.inf changed"
[ ! -e "$SETTINGS" ] || fail "settings were written"
pass "Cancel"

echo "== Retry while it is still held asks again; after the holder lets go it reads the book"
start_book
unreadable_box personal.inf
driver click "$BOX" 4
driver gone "$BOX" || fail "Retry left the message"
unreadable_box personal.inf
release
driver click "$BOX" 4
entries_then_exit 3
pass "Retry"

echo "== a held group.inf beside a readable personal.inf"
hold group.inf
start_book
unreadable_box group.inf
driver click "$BOX" 2
wait_exit "$LAST_PID" || fail "Cancel did not end the program"
release
pass "group file"

echo "== damaged files are told before the main window and copied before their first save"
python3 - "$BOOK/personal.inf" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
open(sys.argv[1], 'wb').write(b'\x05' + data[1:] + b'Cut sho')  # five announced, two there
PY
printf 'earlier' > personal.inf.damaged
damaged=$(bytes personal.inf)
groups=$(bytes group.inf)
start_book
box=$(message_box) || fail "no message for the damaged file"
text=$(message_text)
echo "$text" > "$BOOK/damaged-message.txt"
grep -q 'personal.inf is damaged. Records read from it: 2. Its original bytes will be kept as .*personal.inf.damaged-2.' <<<"$text" ||
  fail "message: $text"
grep -q 'group.inf may name persons who were lost. Groups read from it: 1. .* kept as .*group.inf.damaged.' <<<"$text" ||
  fail "message: $text"
[ "$(driver -a count ZuAddressBook -)" = 0 ] || fail "the main window came before the message"
driver click "$box" 1
main=$(main_window) || fail "no main window after the message"
[ "$(list_count "$main" 190)" = 3 ] || fail "entries: $(list_count "$main" 190)"
[ "$(bytes personal.inf.damaged)" = "$(printf earlier | od -An -tx1 -v | tr -d ' \n')" ] || fail "the earlier copy was written over"
driver lb-dblclick "$main" 190 0
dialog=$(driver find-dialog Properties 105) || fail "no person dialog"
driver settext "$dialog" 105 "edited"
driver click "$dialog" 1
driver gone "$dialog" || fail "the person dialog stayed"
wait_for '[ -e personal.inf.damaged-2 ] && [ -e group.inf.damaged ]' || fail "no copies: $(ls)"
[ "$(bytes personal.inf.damaged-2)" = "$damaged" ] || fail "personal.inf.damaged-2 is not the original"
[ "$(bytes group.inf.damaged)" = "$groups" ] || fail "group.inf.damaged is not the original"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "a message after a save that worked: $(message_text)"
driver command "$main" 110
wait_exit "$LAST_PID" || fail "did not exit"
grep -q '^P Ann|ann@x|;;|' <<<"$(book_summary)" || fail "book: $(book_summary)"
pass "damaged files"

echo "== when the damaged original cannot be copied, the save does not happen and is told"
rm -f personal.inf.damaged* group.inf.damaged*
printf '\x03\0\0\0Ann\0\0;;\0\0Bo' > personal.inf
damaged=$(bytes personal.inf)
start_book
box=$(message_box) || fail "no message for the damaged file"
driver click "$box" 1
main=$(main_window) || fail "no main window"
hold personal.inf
driver command "$main" 100
dialog=$(driver find-dialog Properties 105) || fail "no person dialog"
driver settext "$dialog" 100 Cy
driver click "$dialog" 1
box=$(message_box) || fail "no message for the failed copy"
text=$(message_text)
grep -q 'personal.inf could not be saved, because a copy of its damaged original could not be made first.' <<<"$text" ||
  fail "message: $text"
driver click "$box" 1
driver gone "$dialog" || fail "the person dialog stayed"
release
[ "$(bytes personal.inf)" = "$damaged" ] && [ ! -e personal.inf.damaged ] || fail "the save went ahead: $(ls)"
driver command "$main" 110
wait_exit "$LAST_PID" || fail "the pending save at close did not end the program"
[ "$(bytes personal.inf.damaged)" = "$damaged" ] || fail "no copy of the original at the save at close"
[ "$(book_summary | grep '^P' | cut -d'|' -f1 | tr '\n' ' ')" = "P Ann P Cy " ] || fail "book: $(book_summary)"
pass "failed copy"

echo "== a group file beside no person file is told and kept, not loaded"
rm -f personal.inf group.inf.damaged
write_groups "Team||Ann"
start_book
box=$(message_box) || fail "no message for the unread group file"
text=$(message_text)
grep -q 'group.inf was not read, because no persons could be read. Its bytes will be kept as .*group.inf.damaged.' <<<"$text" ||
  fail "message: $text"
driver click "$box" 1
entries_then_exit 0
pass "group file without persons"
