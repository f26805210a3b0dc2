#!/bin/bash
# The end of the log-on is refused while a dialog (About) is open and accepted, closing the
# window through its close handling, once it is gone. Usage: test_shell_logoff.sh [kalbook.exe]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=$(realpath "${1:-$here/../../build/win/kalbook.exe}")
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=$(( 500 + RANDOM % 400 ))
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
wait_for() { for _ in $(seq 1 40); do if eval "$1"; then return 0; fi; sleep 0.25; done; return 1; }
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
focus() { xdotool windowactivate --sync "$1" 2>/dev/null || true; xdotool windowfocus --sync "$1" 2>/dev/null || true; }
sleep 1
wineboot -i >/dev/null 2>&1
mkdir -p "$work/book" && cd "$work/book"
ini=$WINEPREFIX/drive_c/windows/zuadr.ini

wine "$exe" >/dev/null 2>&1 &
program=$!
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
