#!/bin/bash
# The host tool receives a "WM_SENDADDR" posted by another process and logs the atom's name,
# the length and the file's bytes as they are at that moment.
source "$(dirname "$0")/lib.sh"

start_host
printf 'ann@x,bob@y,\0' > "$WINEPREFIX/drive_c/TempFile"
driver sendaddr 'c:\TempFile' 12 >/dev/null || fail "sendaddr failed"
wait_for 'grep -q SENDADDR "$HOST_LOG"' || fail "the host logged nothing: $(cat "$HOST_LOG")"
expected='SENDADDR name=c:\TempFile length=12 size=13 bytes=ann@x,bob@y,\x00'
got=$(grep SENDADDR "$HOST_LOG" | tr -d '\r')
[ "$got" = "$expected" ] || fail "host log line is '$got'"
pass "host logs the hand-off"
