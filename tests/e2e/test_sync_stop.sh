#!/bin/bash
# A sync that waits on a slow server: the status bar tells it while the window answers, Synchronize
# again stops it at once and the next one starts; beside a host (/o) no sync starts by itself, and
# "Mail" does not wait. Against a server that hangs (a gate before Radicale): Stop ends the sync
# at once with the book and the sync state as they were, the next sync through the open gate
# completes, and closing the window during a hanging request ends the program after the one
# attempt of 10 seconds to send.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"
# Wine's system processes, should this test start them, get no pipe of the test to keep open.
book_running || true

/usr/bin/python3 "$(dirname "$0")/bad_dav_server.py" slow "$BOOK/slow.port" &
CARDDAV_PIDS+=($!)
wait_for "[ -s '$BOOK/slow.port' ]" 150 || fail "the slow server did not start"
SLOW=http://127.0.0.1:$(cat "$BOOK/slow.port")
printf '[Sync]\r\nserver=%s\r\nuser=\r\nbook=%s/book/\r\nauto=1\r\n' "$SLOW" "$SLOW" > sync.ini
status_text() { driver acc "$status" | cut -f3; }

# ---- beside a host: nothing starts by itself ----------------------------------------------------
start_host
write_persons "Ann|ann@example.org|;;|"
start_book /o
book=$LAST_PID
main=$(main_window) || fail "no main window (/o)"
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
settled "$main"
settled "$main"
[ -z "$(status_text)" ] || fail "beside a host the status bar reads '$(status_text)'"
pass "/o: no automatic sync starts"
driver command "$main" 122 >/dev/null
wait_for "status_text | grep -q '^Synchronizing: '" 100 || fail "F5 beside a host: the status bar reads '$(status_text)'"
driver lb-select "$main" 190 0 >/dev/null
driver command "$main" 102 >/dev/null
box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box"
wait_for "[ \"\$(driver enabled $box 188)\" = 1 ]" 50 || fail "Mail did not become enabled"
driver click "$box" 188 >/dev/null
wait_exit "$book" || fail "Mail waited on the running sync"
pass "/o: Mail ends the program at once while a sync waits on the server"

# ---- alone: the running sync stops with Synchronize ---------------------------------------------
printf '[Sync]\r\nserver=%s\r\nuser=\r\nbook=%s/book/\r\nauto=0\r\n' "$SLOW" "$SLOW" > sync.ini
start_book
main=$(main_window) || fail "no main window"
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
driver command "$main" 122 >/dev/null
wait_for "status_text | grep -q '^Synchronizing: '" 100 || fail "the status bar reads '$(status_text)' during the sync"
settled "$main" || fail "the window does not answer while the sync waits"
driver command "$main" 122 >/dev/null
wait_for "[ \"\$(status_text)\" = \"The sync was stopped; the server's changes were not taken.\" ]" 100 ||
  fail "after the stop the status bar reads '$(status_text)'"
pass "Synchronize while a sync runs stops it, nothing of it taken"
driver command "$main" 122 >/dev/null
wait_for "status_text | grep -q '^Synchronizing: '" 100 || fail "no new sync started after the stop: '$(status_text)'"
pass "the next Synchronize starts a new sync"
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end while the sync waited"
pass "the program closes while a sync waits on the server"

# ---- a server that hangs: Stop and close take effect at once -------------------------------------
start_radicale "$BOOK/radicale"
GATE=$BOOK/gate
/usr/bin/python3 "$(dirname "$0")/bad_dav_server.py" gate "$BOOK/gate.port" "$RADICALE_URL" "$GATE" &
CARDDAV_PIDS+=($!)
wait_for "[ -s '$BOOK/gate.port' ]" 150 || fail "the hanging server did not start"
HANG=http://127.0.0.1:$(cat "$BOOK/gate.port")
rm -f sync.ini sync.state sync.journal
write_persons "Ann|ann@example.org|;;|" "Bob|bob@example.org|;;|"
start_book
main=$(main_window) || fail "no main window (hanging server)"
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
dialog=$(open_settings)
fill_account "$dialog" "$HANG" "$CARDDAV_USER" "$CARDDAV_PASSWORD"
connect_expecting "$dialog" 1
close_settings "$dialog"
wait_for "status_text | grep -q '^Synchronized: '" 150 || fail "the first sync through the open gate reads '$(status_text)'"
printf '[Sync]\r\nserver=%s\r\nuser=%s\r\nbook=%s\r\nauto=0\r\n' "$HANG" "$CARDDAV_USER" "$(sync_key "$BOOK" book)" > sync.ini
pass "a first sync through the gate of the hanging server completes"

book_before=$(bytes personal.inf) state_before=$(bytes sync.state)
touch "$GATE"
driver command "$main" 122 >/dev/null
wait_for "grep -q '^waits ' '$BOOK/gate.port.log'" 100 || fail "the sync sent no request to the hanging server"
settled "$main" || fail "the window does not answer while a request hangs"
driver command "$main" 122 >/dev/null
# Well within the request's 30-second time-out: the stop does not wait for the server.
wait_for "[ \"\$(status_text)\" = \"The sync was stopped; the server's changes were not taken.\" ]" 25 ||
  fail "5 seconds after Stop during a hanging request the status bar reads '$(status_text)'"
driver post "$main" 274 61696 102 >/dev/null  # WM_SYSCOMMAND SC_KEYMENU "f": the File menu, to be looked at
wait_for "[ \"\$(driver count '#32768' -)\" != 0 ]" 25 && screenshot "$BOOK/menu-after-stop.png"
driver post "$main" 31 0 0 >/dev/null  # WM_CANCELMODE
[ "$(bytes personal.inf)" = "$book_before" ] || fail "the stopped sync changed the book"
[ "$(bytes sync.state)" = "$state_before" ] || fail "the stopped sync changed the sync state"
pass "Stop during a hanging request ends the sync at once; the book and the sync state are unchanged"

rm -f "$GATE"
driver command "$main" 122 >/dev/null
wait_for "status_text | grep -q '^Synchronized: '" 150 || fail "the sync after the stop reads '$(status_text)'"
pass "the next sync, the gate open, completes"

# Close while a request hangs with a delete here not yet sent: one attempt of 10 seconds to send
# it is made (it hangs too), then the program ends.
touch "$GATE"
driver lb-select "$main" 190 1 >/dev/null
driver command "$main" 105 >/dev/null
waiting() { grep -c '^waits ' "$BOOK/gate.port.log"; }
before=$(waiting)
driver command "$main" 122 >/dev/null
wait_for "[ \$(waiting) -gt $before ]" 100 || fail "the sync sent no request to the hanging server"
driver post "$main" 16 0 0 >/dev/null  # WM_CLOSE
for _ in $(seq 1 200); do kill -0 "$LAST_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$LAST_PID" 2>/dev/null && fail "the program did not end within 20 seconds of the close during a hanging request"
[ "$(waiting)" -ge $((before + 2)) ] || fail "no attempt to send was made at close ($(waiting) requests waited, $before before)"
rm -f "$GATE"
pass "closing during a hanging request ends the program after the one attempt to send"
