#!/bin/bash
# File > Import under Wine: each of the three commands through the file chooser, checking
# "personal.inf" byte for byte; command 107 with a "File Location" recorded in the registry.
source "$(dirname "$0")/lib.sh"
work=$E2E_STATE/work/import_runs
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }

# A fresh book folder with the given import file; starts the program there.
open_book() {
  rm -rf "$work/book" && mkdir -p "$work/book" && cd "$work/book"
  BOOK=$work/book
  printf "$2" > "$1"
  start_book
  book_pid=$LAST_PID
  wait_for '[ -n "$(window "Address Book")" ]' || fail "main window did not appear"
  sleep 2
}
stop_book() {
  xdotool key --window "$(window "Address Book")" ctrl+q
  wait_exit "$book_pid" || fail "Ctrl+Q did not end the program"
}
# File > Import > item number $1 (0 vCard, 1 Netscape, 2 Eudora) by keyboard.
import_item() {
  xdotool windowfocus --sync "$(window "Address Book")"
  xdotool key alt+f; sleep 0.5; xdotool key i; sleep 0.5
  for _ in $(seq 1 "$1"); do xdotool key Down; done; xdotool key Return
}
# The chooser starts in the data directory, so the bare file name is enough.
choose_file() {
  title=$1
  wait_for '[ -n "$(window "$title")" ]' || fail "chooser \"$title\" did not appear"
  sleep 1; xdotool windowfocus --sync "$(window "$title")"; xdotool type --delay 30 "$2"; xdotool key Return
}
expect_book() {
  wait_for "[ -s personal.inf ] && [ \"\$(xxd -p personal.inf | tr -d '\n')\" = '$1' ]" ||
    fail "personal.inf is $(xxd -p personal.inf 2>/dev/null | tr -d '\n'), want $1"
}
hex() { printf "$1" | xxd -p | tr -d '\n'; }

echo "== 106 vCard: one person per card"
open_book people.vcf 'BEGIN:VCARD\r\nN:Lee;Ann\r\nFN:Ann\r\nEMAIL;INTERNET:ann@x\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Bob\r\nEMAIL;PREF;INTERNET:bob@x\r\nEND:VCARD\r\n'
import_item 0; choose_file "Import - vCard -" people.vcf
expect_book "$(hex '\x02\0\0\0Ann\0ann@x\0Ann;;Lee\0\0Bob\0bob@x\0;;\0\0')"
stop_book

echo "== 108 Eudora: same nickname twice adds one person"
open_book nick.txt 'alias ann ann@x, b@y\r\nalias ann other@x\r\nalias cy cy@x\r\n'
import_item 2; choose_file "Import - Eudora address book -" nick.txt
expect_book "$(hex '\x02\0\0\0ann\0ann@x, b@y\0;;\0\0cy\0cy@x\0;;\0\0')"
stop_book

echo "== 107 Netscape without a registry entry goes straight to the chooser"
open_book book.htm '<DT><A HREF="mailto:ann@x">Ann</A>\n<a href="mailto:no@x">no</a>\n'
import_item 1; choose_file "Import - Netscape address book -" book.htm
expect_book "$(hex '\x01\0\0\0Ann\0ann@x\0;;\0\0')"
stop_book

netscape='Import - Netscape address book -'
# Clicks a button of the path dialog by its offset from the dialog's top-left corner.
click_path_button() {
  wait_for '[ -n "$(window "$netscape")" ]' || fail "path dialog did not appear"
  sleep 1
  local pos; pos=$(xdotool getwindowgeometry "$(window "$netscape")" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  set -- $pos "$1" "$2"
  xdotool mousemove $(( $1 + $3 )) $(( $2 + $4 )) click 1
}
ok_button="47 69"; cancel_button="145 69"; browse_button="315 34"
key='HKCU\Software\Netscape\Netscape Navigator\Address Book'
recorded_book() {
  open_book book.htm '<A HREF="mailto:ann@x">Ann</A>'
  wine reg add "$key" /v "File Location" /t REG_SZ /d "$(winepath -w "$work/book/book.htm")" /f >/dev/null 2>&1
  import_item 1
}

echo "== 107 with a recorded File Location: OK imports it"
recorded_book; click_path_button $ok_button
expect_book "$(hex '\x01\0\0\0Ann\0ann@x\0;;\0\0')"
stop_book

echo "== 107: Browse leads to the file chooser"
recorded_book; printf '<A HREF="mailto:bo@x">Bo</A>' > other.htm
click_path_button $browse_button
choose_file "$netscape" other.htm
expect_book "$(hex '\x01\0\0\0Bo\0bo@x\0;;\0\0')"
stop_book

echo "== 107: Cancel ends the command"
recorded_book; click_path_button $cancel_button
sleep 2
[ -z "$(window "$netscape")" ] || fail "a dialog is still open after Cancel"
[ ! -e personal.inf ] || fail "Cancel imported something"
stop_book
echo "PASS"
