#!/bin/bash
# The end of the log-on is refused while a dialog (About) is open and accepted, closing the
# window through its close handling, once it is gone.
source "$(dirname "$0")/lib.sh"
ini=$SETTINGS
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
focus() { xdotool windowactivate --sync "$1" 2>/dev/null || true; xdotool windowfocus --sync "$1" 2>/dev/null || true; }

start_book
program=$LAST_PID
wait_for '[ -n "$(visible "^Address Book$")" ]' || fail "no main window"
sleep 1
focus "$(visible "^Address Book$")"
xdotool key --clearmodifiers alt+h
sleep 0.5
xdotool key a
wait_for '[ -n "$(visible "^About Address Book$")" ]' || fail "About did not open"

if timeout 30 wineboot --end-session; then fail "log-off accepted while About is open"; fi
kill -0 "$program" 2>/dev/null || fail "program ended while About was open"

focus "$(visible "^About Address Book$")"
xdotool key Escape
wait_for '[ -z "$(visible "^About Address Book$")" ]' || fail "About did not close"
timeout 30 wineboot --end-session || fail "log-off refused with no dialog open"
wait_for '! kill -0 "$program" 2>/dev/null' || fail "program still running after the log-off"
program=
tr -d '\r' < "$ini" | grep -q '^subject=[0-9]' || fail "close handling did not write the column widths"
echo "shell log-off: all checks passed"
