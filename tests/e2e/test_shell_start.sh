#!/bin/bash
# Start-up under Wine: the plain mode, the two refusals, default and stored placement, and the
# settings written when Ctrl+Q closes the window.
source "$(dirname "$0")/lib.sh"
ini=$SETTINGS
work=$BOOK
start() { start_book "$@"; last=$LAST_PID; }
# Windows titled "Address Book" as "width height" lines (the main window is the wide one).
windows() { xdotool search --name '^Address Book$' 2>/dev/null | while read -r w; do
  xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p'; done; }
main_windows() { windows | awk '$1 > 300' | wc -l; }
boxes() { windows | awk '$1 <= 300' | wc -l; }
key() { tr -d "\r" < "$ini" | sed -n "/^\[$1\]/,/^\[/s/^$2=//p"; }
wait_for() { for _ in $(seq 1 40); do if eval "$1"; then return 0; fi; sleep 0.25; done; return 1; }

echo "== host modes without the host window are refused"
for mode in /o /p; do
  rm -f "$ini"
  start "$mode"
  wait_for '[ "$(boxes)" -ge 1 ]' || fail "$mode: no refusal box"
  [ "$(main_windows)" -eq 0 ] || fail "$mode: a main window was created"
  [ ! -e "$ini" ] || ! grep -q '^\[window\]' "$ini" || fail "$mode: placement written"
  kill "$last"; wait "$last" 2>/dev/null || true
  wait_for '[ "$(boxes)" -eq 0 ]' || true
done

echo "== plain mode gets the default placement"
rm -f "$ini"
start
first=$last
wait_for '[ "$(main_windows)" -eq 1 ] && [ -e "$ini" ]' || fail "no main window in the plain mode"
wait_for '[ "$(key window x)" = 240 ] && [ "$(key window y)" = 224 ] && [ "$(key window width)" = 544 ]' ||
  fail "default placement: $(cat "$ini")"
height=$(key window height)
[ "$height" -le 320 ] && [ "$height" -gt 300 ] || fail "default height $height not 320 less a part of an item"

echo "== a second copy is refused while the first runs"
start
second=$last
wait_for '[ "$(boxes)" -ge 1 ]' || fail "second copy: no refusal box"
[ "$(main_windows)" -eq 1 ] || fail "second copy made a main window"
kill "$second" "$first"; wait "$second" "$first" 2>/dev/null || true
# Under load Wine takes a while to tear the killed copies down; one still there would refuse
# the next start as a second copy.
for _ in $(seq 1 120); do [ -z "$(windows)" ] && break; sleep 0.25; done
[ -z "$(windows)" ] || fail "the killed copies' windows stayed for 30 seconds"

start
first=$last
wait_for '[ "$(main_windows)" -eq 1 ]' || fail "no main window for Ctrl+Q"

echo "== Ctrl+Q closes and writes the column widths and the zoom flag"
# The window exists before it shows: wait until it is on the screen.
wait_for '[ -n "$(x_window "Address Book")" ]' || fail "the main window is not on the screen"
main=$(x_window "Address Book")
settled "$(main_window)" || fail "the main window takes no messages"
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key --clearmodifiers ctrl+q
wait_for '! kill -0 "$first" 2>/dev/null' || fail "Ctrl+Q did not end the program"
[ "$(key InBox attribute)" = 26 ] && [ "$(key InBox sender)" = 100 ] && [ "$(key InBox date)" = 100 ] ||
  fail "InBox widths: $(cat "$ini")"
subject=$(key InBox subject)
[ -n "$subject" ] && [ "$subject" -gt 0 ] || fail "subject width '$subject' is not a real width"
[ "$(key window zoom)" = 0 ] || fail "zoom not written"

echo "== a usable stored placement is used (digits then letters read as the number)"
printf '[window]\nx=-40\ny=30\nwidth=600px\nheight=400\n' > "$ini"
start
wait_for '[ "$(main_windows)" -eq 1 ]' || fail "no main window with stored placement"
wait_for '[ "$(key window x)" = -40 ] && [ "$(key window y)" = 30 ] && [ "$(key window width)" = 600 ]' ||
  fail "stored placement not used: $(cat "$ini")"
height=$(key window height)
[ "$height" -le 400 ] && [ "$height" -gt 380 ] || fail "stored height $height"
import -window root "$work/main.png" 2>/dev/null || true
kill "$last"; wait "$last" 2>/dev/null || true
echo "shell start-up: all checks passed"
