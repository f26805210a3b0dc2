#!/bin/bash
# Help > Contents and F1: the compiled help beside the executable opens in the HTML Help viewer's
# window with the window type's caption, once however often it is asked for, and goes with the
# program; without a help file beside the executable, or without the viewer, a message says so.
source "$(dirname "$0")/lib.sh"
VK_F1=0x70

# The help command has been handled in full once the thread takes a message again; a message box
# it showed would still be up then.
no_dialog() {
  settled "$main" ||
    fail "the main window took no message beside the help (program running: $(kill -0 "$book" 2>/dev/null && echo yes || echo no))"
  [ "$(driver count "#32770" -)" = 0 ] || fail "a dialog box appeared beside the help"
}

start_book
book=$LAST_PID
main=$(main_window) || fail "no main window"
driver post "$main" WM_KEYDOWN $VK_F1 0 >/dev/null
help=$(driver find "HH Parent" "Address Book Help") || fail "F1 opened no help window"
no_dialog
pass "F1 opens the help window \"Address Book Help\""

driver command "$main" 111 >/dev/null
no_dialog
[ "$(driver count "HH Parent" -)" = 1 ] || fail "a second help window: $(driver count "HH Parent" -)"
pass "command 111 again shows the same window"

driver post "$help" WM_CLOSE 0 0 >/dev/null
driver gone "$help" >/dev/null || fail "the help window did not close"
driver post "$main" WM_KEYDOWN $VK_F1 0 >/dev/null
help=$(driver find "HH Parent" "Address Book Help") || fail "F1 did not open the help again after it was closed"
no_dialog
pass "help closed by the user opens again"

driver command "$main" 110 >/dev/null
wait_exit "$book" || fail "the program did not end with its help open"
wait "$book" && code=0 || code=$?
[ "$code" = 0 ] || fail "exit code $code"
driver -t 2 gone "$help" >/dev/null || fail "the help window outlived the program"
pass "ending the program closes the help"

# A copy of the program without its help; a qlon.chm in the data folder does not count.
mkdir -p "$BOOK/bare"
cp "$KALBOOK_EXE" "$BOOK/bare/kalbook.exe"
cp "$(dirname "$KALBOOK_EXE")/qlon.chm" "$BOOK/qlon.chm"
KALBOOK_EXE=$BOOK/bare/kalbook.exe start_book
book=$LAST_PID
main=$(main_window) || fail "no main window (bare copy)"
driver post "$main" WM_KEYDOWN $VK_F1 0 >/dev/null
box=$(driver find "#32770" "Address Book") || fail "no message without a help file"
text=$(driver msgbox "Address Book")
want="Help cannot be shown: the help file
$(winepath -w "$BOOK/bare" 2>/dev/null)\\qlon.chm
is missing."
[ "$text" = "$want" ] || fail "message reads '$text', want '$want'"
[ "$(driver count "HH Parent" -)" = 0 ] || fail "a help window opened without a help file"
driver click "$box" 1 >/dev/null
driver -t 3 gone "$box" >/dev/null || fail "message did not close"
pass "no help beside the executable: the message names the missing file"

cp "$BOOK/qlon.chm" "$BOOK/bare/qlon.chm"
driver command "$main" 111 >/dev/null
driver find "HH Parent" "Address Book Help" >/dev/null || fail "no help once qlon.chm is beside the copy"
no_dialog
driver command "$main" 110 >/dev/null
wait_exit "$book" || fail "the bare copy did not end"
pass "the help is looked for beside the executable"

# Without the HTML Help viewer the message says so instead of leaving F1 without an answer.
WINEDLLOVERRIDES="mscoree,mshtml,hhctrl.ocx=" start_book
book=$LAST_PID
main=$(main_window) || fail "no main window (no viewer)"
driver command "$main" 111 >/dev/null
box=$(driver find "#32770" "Address Book") || fail "no message without the viewer"
text=$(driver msgbox "Address Book")
[ "$text" = "Help cannot be shown: the HTML Help viewer (hhctrl.ocx) is not available." ] ||
  fail "message reads '$text'"
driver click "$box" 1 >/dev/null
driver -t 3 gone "$box" >/dev/null || fail "message did not close"
driver command "$main" 110 >/dev/null
wait_exit "$book" || fail "the program did not end after the message"
pass "no viewer: the message says so"
