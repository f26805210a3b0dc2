#!/bin/bash
# File > Import under Wine: each of the three commands through the open-file dialog, checking
# "personal.inf" byte for byte, the new items at the top of the list in reverse batch order and
# the report when an entry was not taken;
# command 107 with a "File Location" recorded in the registry: OK, Browse and Cancel.
source "$(dirname "$0")/lib.sh"
netscape='Import - Netscape address book -'
key='HKCU\Software\Netscape\Netscape Navigator\Address Book'

expect_list() { [ "$(list_data "$main" 190 | tr '\n' ' ')" = "$1" ] || fail "entry list: $(list_data "$main" 190 | tr '\n' ' ')"; }
# A fresh book folder holding the import file; the program started there.
open_book() {
  rm -f "$BOOK"/*
  [ -z "${3:-}" ] || write_persons "$3"
  printf "$2" > "$BOOK/$1"
  start_book
  book_pid=$LAST_PID
  main=$(main_window) || fail "no main window"
}
close_book() { driver command "$main" 110; wait_exit "$book_pid" || fail "did not exit"; }
choose() { driver openfile "$1" "$(winpath "$2")" || fail "no file chooser '$1'"; }

echo "== 106 vCard: one person per card, the batch's last at the top"
open_book people.vcf 'BEGIN:VCARD\r\nN:Lee;Ann\r\nFN:Ann\r\nEMAIL;INTERNET:ann@x\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Bob\r\nEMAIL;PREF;INTERNET:bob@x\r\nEND:VCARD\r\n' 'Old|o@x|;;|'
driver command "$main" 106
choose "Import - vCard -" people.vcf
expect_book '\x03\0\0\0Old\0o@x\0;;\0\0Ann\0ann@x\0Ann;;Lee\0\0Bob\0bob@x\0;;\0\0'
expect_list "0x20000 0x10000 0x0 "
close_book
pass "vCard"

echo "== 108 Eudora: the same nickname twice adds one person"
open_book nick.txt 'alias ann ann@x, b@y\r\nalias ann other@x\r\nalias cy cy@x\r\n'
driver command "$main" 108
choose "Import - Eudora address book -" nick.txt
expect_book '\x02\0\0\0ann\0ann@x, b@y\0;;\0\0cy\0cy@x\0;;\0\0'
expect_list "0x10000 0x0 "
expect_report 'Imported: 2 persons, 0 new groups.\nNot taken: 1 (already in the book: 1; without an e-mail address or a name: 0; over the book'"'"'s limit: 0).\n\nThe first of them:\nann - already in the book'
close_book
pass "Eudora"

echo "== 107 Netscape without a registry entry goes straight to the chooser"
wine reg delete "$key" /f >/dev/null 2>&1 || true
open_book book.htm '<DT><A HREF="mailto:ann@x">Ann</A>\n<a href="mailto:no@x">no</a>\n'
driver command "$main" 107
choose "$netscape" book.htm
expect_book '\x01\0\0\0Ann\0ann@x\0;;\0\0'
close_book
pass "Netscape chooser"

recorded_book() {
  open_book book.htm '<A HREF="mailto:ann@x">Ann</A>'
  printf '<A HREF="mailto:bo@x">Bo</A>' > other.htm
  wine reg add "$key" /v "File Location" /t REG_SZ /d "$(winpath book.htm)" /f >/dev/null 2>&1
  driver command "$main" 107
  path_dialog=$(driver find-dialog "$netscape" 1000) || fail "no path dialog"
  [ "$(driver text "$path_dialog" 1000)" = "$(winpath book.htm)" ] || fail "path shown: $(driver text "$path_dialog" 1000)"
}

echo "== 107 with a recorded File Location: OK imports it"
recorded_book
driver click "$path_dialog" 1
expect_book '\x01\0\0\0Ann\0ann@x\0;;\0\0'
close_book
pass "Netscape OK"

echo "== 107: Browse leads to the file chooser"
recorded_book
driver click "$path_dialog" 3
driver gone "$path_dialog"
choose "$netscape" other.htm
expect_book '\x01\0\0\0Bo\0bo@x\0;;\0\0'
close_book
pass "Netscape Browse"

echo "== 107: Cancel ends the command"
recorded_book
driver click "$path_dialog" 2
driver gone "$path_dialog" || fail "the path dialog stayed"
settled "$main" || fail "the program ended after Cancel"
[ "$(driver count "#32770" "$netscape")" = 0 ] || fail "a chooser opened after Cancel"
[ ! -e personal.inf ] || fail "Cancel imported something"
close_book
wine reg delete "$key" /f >/dev/null 2>&1 || true
pass "Netscape Cancel"
