#!/bin/bash
# The end of the log-on: refused while a dialog (About) is open and accepted, closing the window
# through its close handling, once it is gone. A pending save that fails again is asked about in
# the query itself, where No still keeps the program (and its change) running.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/holder.sh"
ini=$SETTINGS
WM_QUERYENDSESSION=0x11
WM_ENDSESSION=0x16
ENDSESSION_LOGOFF=0x80000000

start_book
program=$LAST_PID
main=$(main_window) || fail "no main window"

echo "== About open: the log-off is refused"
driver command "$main" 112 || fail "could not send the About command"
about=$(driver find "#32770" "About Address Book") || fail "About did not open"
if timeout 60 wineboot --end-session; then fail "log-off accepted while About is open"; fi
kill -0 "$program" 2>/dev/null || fail "program ended while About was open"
driver click "$about" 1 || fail "could not press OK in About"
driver gone "$about" || fail "About did not close"
pass "refused while About is open"

echo "== no dialog: the log-off closes through the close handling"
timeout 60 wineboot --end-session || fail "log-off refused with no dialog open"
wait_exit "$program" || fail "program still running after the log-off"
grep -q '^subject=[0-9]' <<<"$(tr -d '\r' < "$ini")" || fail "close handling did not write the column widths: $(cat "$ini")"
pass "closed by the log-off"

echo "== a pending save that fails again: the query asks, No refuses the log-off"
write_persons "Ann|||"
start_book
program=$LAST_PID
main=$(main_window) || fail "no main window"
hold personal.inf
driver command "$main" 100 || fail "could not send New Address"
dialog=$(driver find-dialog Properties 105) || fail "person dialog did not open"
driver settext "$dialog" 100 Bob || fail "could not type the description"
driver click "$dialog" 1 || fail "could not press OK in the person dialog"
box=$(message_box) || fail "no message for the failed save"
grep -q 'personal.inf could not be saved.' <<<"$(message_text)" || fail "message: $(message_text)"
driver click "$box" 1 || fail "could not dismiss the save message"
driver gone "$box" || fail "the save message stayed"
rm -f "$BOOK/query.out"
(driver -t 120 send "$main" $WM_QUERYENDSESSION 0 $ENDSESSION_LOGOFF > "$BOOK/query.out" 2>&1 || echo "send failed" >> "$BOOK/query.out") &
query=$!
question=$(driver -t 30 find "#32770" "Address Book") || fail "no question during the query: $(cat "$BOOK/query.out")"
text=$(message_text)
grep -q 'These changes could not be saved:' <<<"$text" || fail "question: $text"
grep -q 'personal.inf' <<<"$text" || fail "question names no file: $text"
[ -s "$BOOK/query.out" ] && fail "the query answered before the question: $(cat "$BOOK/query.out")"
driver click "$question" 7 || fail "could not press No"
wait "$query" || true
[ "$(cat "$BOOK/query.out")" = 0 ] || fail "the query answered '$(cat "$BOOK/query.out")' after No, want 0"
kill -0 "$program" 2>/dev/null || fail "No ended the program"
[ "$(driver count ZuAddressBook "Address Book")" = 1 ] || fail "No closed the main window"
persons() { book_summary | grep '^P' | tr '\n' ' '; }
[ "$(persons)" = "P Ann||| " ] || fail "the held file changed: $(book_summary)"
pass "No: the query returns 0 and the program runs on"

echo "== released: the query saves, agrees and asks nothing"
release
reply=$(driver -t 60 send "$main" $WM_QUERYENDSESSION 0 $ENDSESSION_LOGOFF) || fail "the second query failed: $reply"
[ "$reply" != 0 ] || fail "the query refused once the save could be written"
[ "$(driver -a count "#32770" "Address Book")" = 0 ] || fail "a question or message came up: $(message_text)"
[ "$(persons)" = "P Ann||| P Bob||;;| " ] || fail "book after the query: $(book_summary)"
rm -f "$ini"
driver -t 60 send "$main" $WM_ENDSESSION 1 $ENDSESSION_LOGOFF >/dev/null || fail "WM_ENDSESSION was not handled"
wait_exit "$program" || fail "WM_ENDSESSION did not end the program"
grep -q '^subject=[0-9]' <<<"$(tr -d '\r' < "$ini")" || fail "the session's end did not write the column widths"
pass "the query writes the pending save and the end of the session closes"
echo "shell log-off: all checks passed"
