#!/bin/bash
# A sync that waits on a slow server: the status bar tells it while the window answers, Synchronize
# again stops it (taking effect when the request under way returns: Wine cannot break off a
# waiting WinHTTP call) and the next one starts; beside a host (/o) no sync starts by itself, and
# "Mail" does not wait.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"

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
