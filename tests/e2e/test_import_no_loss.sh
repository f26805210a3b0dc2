#!/bin/bash
# Imports that lose nobody without a word, under Wine through the real open-file dialogs: a
# German Thunderbird CSV export (a name fitted to the rules and reported), an LDIF file without
# blank lines between its records, a CSV file another program holds open letting others read it,
# a file held without sharing (its path and the system's reason told), and a vCard import of a
# file without a card (told once).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/holder.sh"

open_book() {
  rm -f "$BOOK"/*
  start_book
  book_pid=$LAST_PID
  main=$(main_window) || fail "no main window"
}
close_book() { driver command "$main" 110; wait_exit "$book_pid" || fail "did not exit"; }
through_dialog() {
  driver command "$main" "$1"
  driver openfile "$2" "$(winpath "$3")" || fail "no file dialog '$2'"
}
# The text of the message box now up, then closes it.
take_message() {
  local text box
  text=$(driver msgbox "Address Book") || fail "no message box after $1"
  box=$(driver find "#32770" "Address Book") || fail "no message box after $1"
  [ -z "${2:-}" ] || screenshot "$2"
  driver click "$box" 1
  driver gone "$box" || fail "message box stayed after $1"
  printf '%s' "$text"
}
# Thunderbird's German CSV header and two rows (UTF-8, as Thunderbird writes it).
german_csv() {
  printf 'Vorname,Nachname,Anzeigename,Spitzname,Prim\xc3\xa4re E-Mail-Adresse,Sekund\xc3\xa4re E-Mail-Adresse,Tel. dienstlich,Notizen\r\n'
  printf 'J\xc3\xbcrgen,M\xc3\xbcller,J\xc3\xbcrgen M\xc3\xbcller,Jo,jm@example.de,,+49 30 1234,"Chor, dienstags"\r\n'
  printf 'Bo,Berg,Bo Berg (Arbeit),,bo@example.de,,,\r\n'
}
german_book='\x02\0\0\0J\xfcrgen M\xfcller\0jm@example.de\0J\xfcrgen;;M\xfcller\0Chor, dienstags\0Bo Berg [Arbeit]\0bo@example.de\0Bo;;Berg\0\0'

echo "== a German Thunderbird CSV export imports as the English one does"
open_book
german_csv > "$BOOK/thunderbird.csv"
through_dialog 116 "Import - CSV -" thunderbird.csv
message=$(take_message "the German CSV import" "$E2E_STATE/work/import_no_loss_report.png")
[ "$message" = "$(printf 'Imported: 2 persons, 0 new groups.\nNames changed to fit the rules: 1\n\nThe first of them:\nBo Berg [Arbeit] - name changed to fit the rules')" ] ||
  fail "report: $message"
expect_book "$german_book"
close_book
pass "German Thunderbird CSV"

echo "== an LDIF file without blank lines between its records"
open_book
printf 'dn: cn=Ann Lee,mail=ann@x\nobjectclass: person\ncn: Ann Lee\ngivenName: Ann\nsn: Lee\nmail: ann@x\n'\
'dn: cn=Bob,mail=bob@x\nobjectclass: inetOrgPerson\ncn: Bob\nmail: bob@x\n'\
'dn: cn=Choir\nobjectclass: groupOfNames\ncn: Choir\nmember: cn=Bob,mail=bob@x\nmember: cn=Ann Lee,mail=ann@x\n' > "$BOOK/joined.ldif"
through_dialog 117 "Import - LDIF -" joined.ldif
expect_book '\x02\0\0\0Ann Lee\0ann@x\0Ann;;Lee\0\0Bob\0bob@x\0;;\0\0'
expect_file group.inf '\x01\0\0\0Choir\0\0\x02\0\0\0\x0c\0\0\0Bob\0Ann Lee\0'
# Every entry was taken whole: no report comes up.
settled "$main"
if driver -t 2 find "#32770" "Address Book" >/dev/null 2>&1; then fail "a report came up: $(driver msgbox "Address Book")"; fi
[ "$(list_count "$main" 190)" = 3 ] || fail "entry list: $(list_count "$main" 190) items"
close_book
pass "LDIF without blank lines"

echo "== a CSV file held open by a program that lets others read it imports"
open_book
german_csv > "$BOOK/open.csv"
hold_sharing_reads open.csv
through_dialog 116 "Import - CSV -" open.csv
message=$(take_message "the import of a held CSV file")
case "$message" in "Imported: 2 persons, 0 new groups."*) ;; *) fail "report: $message" ;; esac
expect_book "$german_book"
release
close_book
pass "CSV held with read sharing"

echo "== a file held without sharing: its path and the system's reason"
open_book
german_csv > "$BOOK/locked.csv"
hold locked.csv
through_dialog 116 "Import - CSV -" locked.csv
message=$(take_message "the import of a locked file" "$E2E_STATE/work/import_no_loss_locked.png")
path=$(winpath locked.csv)
case "$message" in "Cannot open $path:"$'\n'?*) ;; *) fail "message: $message" ;; esac
release
[ ! -e "$BOOK/personal.inf" ] || fail "the locked file changed the book: $(book_summary)"
close_book
pass "file held without sharing: $(printf '%s' "$message" | tr '\n' ' ')"

echo "== a vCard import of a file without a card says so once"
open_book
german_csv > "$BOOK/wrong.csv"
through_dialog 106 "Import - vCard -" wrong.csv
message=$(take_message "the vCard import of a CSV file")
[ "$message" = "No vCard was found in this file." ] || fail "message: $message"
settled "$main"
if driver -t 2 find "#32770" "Address Book" >/dev/null 2>&1; then fail "a second message: $(driver msgbox "Address Book")"; fi
[ "$(list_count "$main" 190)" = 0 ] || fail "entry list: $(list_count "$main" 190) items"
close_book
pass "no card"
