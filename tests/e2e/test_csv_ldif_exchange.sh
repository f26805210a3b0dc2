#!/bin/bash
# CSV and LDIF both ways under Wine: File > Export > Outlook CSV and LDIF through their save
# dialogs (the CSV file checked byte for byte), each file imported into an empty book through
# its open-file dialog giving the book back, a CSV file without an e-mail column refused with a
# message, an LDIF list naming someone the file does not hold reported, and a CSV file that
# cannot be written named in a message.
source "$(dirname "$0")/lib.sh"

start_in_book() {
  start_book
  book_pid=$LAST_PID
  main=$(main_window) || fail "no main window"
}
close_book() { driver command "$main" 110; wait_exit "$book_pid" || fail "did not exit"; }
# Runs a command whose file dialog is titled $2 and gives it the file $3.
through_dialog() {
  driver command "$main" "$1"
  driver openfile "$2" "$(winpath "$3")" || fail "no file dialog '$2'"
}
# The text of the message box now up, then closes it.
take_message() {
  local text box
  text=$(driver msgbox "Address Book") || fail "no message box after $1"
  box=$(driver find "#32770" "Address Book") || fail "no message box after $1"
  driver click "$box" 1
  driver gone "$box" || fail "message box stayed after $1"
  printf '%s' "$text"
}

echo "== export: Outlook CSV byte for byte, LDIF with its lists"
rm -f "$BOOK"/*
write_persons 'Ann Lee|ann@x|Ann;;Lee|likes tea, coffee; cake' 'José Núñez Jr|jose@x|José;Q.;Núñez|says "hi"' \
  'Bob|bob@x|;;|' 'No Mail||;;|memo'
write_groups 'Team|the team|José Núñez Jr,Ann Lee' 'Solo||Bob' 'Empty|nobody yet|'
mkdir original && cp personal.inf group.inf original/
start_in_book
through_dialog 118 "Export - CSV -" book.csv
expect_file book.csv 'First Name,Middle Name,Last Name,E-mail Address,E-mail Type,E-mail Display Name,Notes,Categories\r\n'\
'Ann,,Lee,ann@x,SMTP,Ann Lee,"likes tea, coffee; cake",Team\r\n'\
'Jos\xe9,Q.,N\xfa\xf1ez,jose@x,SMTP,Jos\xe9 N\xfa\xf1ez Jr,"says ""hi""",Team\r\n'\
',,,bob@x,SMTP,Bob,,Solo\r\n'\
',,,,SMTP,No Mail,memo,\r\n'
through_dialog 119 "Export - LDIF -" book.ldif
wait_for "[ -s book.ldif ]" || fail "nothing exported as LDIF"
python3 - book.ldif <<'PY' || fail "LDIF export: $(head -c 600 book.ldif)"
import base64, sys
data = open(sys.argv[1], 'rb').read()
records = [r for r in data.split(b'\r\n\r\n') if r]
assert len(records) == 7, len(records)
def attrs(r):
    out = []
    for line in r.replace(b'\r\n ', b'').split(b'\r\n'):
        name, _, value = line.partition(b':')
        out.append((name.decode(), base64.b64decode(value[2:]).decode() if value.startswith(b':') else value[1:].decode()))
    return out
jose = dict(attrs(records[1]))
assert jose['dn'] == 'cn=José Núñez Jr,mail=jose@x', jose['dn']
assert jose['givenName'] == 'José' and jose['sn'] == 'Núñez' and jose['description'] == 'says "hi"'
team = attrs(records[4])
assert [v for n, v in team if n == 'member'] == [jose['dn'], 'cn=Ann Lee,mail=ann@x'], team
assert ('description', 'the team') in team
assert [v for n, v in attrs(records[6]) if n == 'cn'] == ['Empty']
PY
pass "export of the whole book as CSV and LDIF"

echo "== a CSV file that cannot be written is named, nothing else written"
mkdir contacts.csv.tmp
through_dialog 118 "Export - CSV -" contacts.csv
message=$(take_message "a failed export")
case "$message" in *"could not be written"*contacts.csv*) ;; *) fail "message: $message" ;; esac
[ ! -e contacts.csv ] || fail "a target was written"
rmdir contacts.csv.tmp
close_book
cmp personal.inf original/personal.inf && cmp group.inf original/group.inf || fail "export touched the data files"
pass "write failure"

echo "== CSV into an empty book: the same persons and groups"
mv book.csv book.ldif original/
rm -f personal.inf group.inf
start_in_book
through_dialog 116 "Import - CSV -" original/book.csv
# No Mail has no address: the report tells it; everyone else comes in whole.
message=$(take_message "the CSV import")
[ "$message" = "$(printf 'Imported: 3 persons, 2 new groups.\nNot taken: 1 (already in the book: 0; without an e-mail address or a name: 1; over the book'"'"'s limit: 0).\n\nThe first of them:\nNo Mail - no e-mail address')" ] ||
  fail "CSV import report: $message"
expect_book '\x03\0\0\0Ann Lee\0ann@x\0Ann;;Lee\0likes tea, coffee; cake\0Jos\xe9 N\xfa\xf1ez Jr\0jose@x\0Jos\xe9;Q.;N\xfa\xf1ez\0says "hi"\0Bob\0bob@x\0;;\0\0'
expect_file group.inf '\x02\0\0\0Team\0\0\x02\0\0\0\x16\0\0\0Ann Lee\0Jos\xe9 N\xfa\xf1ez Jr\0Solo\0\0\x01\0\0\0\x04\0\0\0Bob\0'
[ "$(list_count "$main" 190)" = 5 ] || fail "entry list: $(list_count "$main" 190) items"
close_book
pass "CSV import"

echo "== LDIF into an empty book: the same persons but their middle names, the same lists in order"
rm -f personal.inf group.inf
start_in_book
through_dialog 117 "Import - LDIF -" original/book.ldif
message=$(take_message "the LDIF import")
case "$message" in "Imported: 3 persons, 3 new groups."*"No Mail - no e-mail address") ;; *) fail "LDIF import report: $message" ;; esac
expect_book '\x03\0\0\0Ann Lee\0ann@x\0Ann;;Lee\0likes tea, coffee; cake\0Jos\xe9 N\xfa\xf1ez Jr\0jose@x\0Jos\xe9;;N\xfa\xf1ez\0says "hi"\0Bob\0bob@x\0;;\0\0'
cmp group.inf original/group.inf || fail "group.inf: $(bytes group.inf) want $(bytes original/group.inf)"
close_book
pass "LDIF import"

echo "== a CSV header without an e-mail column: a message, nothing imported"
printf 'First Name,Last Name,Phone\r\nAnn,Lee,555\r\n' > phones.csv
start_in_book
through_dialog 116 "Import - CSV -" phones.csv
message=$(take_message "a CSV file without an e-mail column")
case "$message" in "This file has no e-mail column this program knows."*"Primary Email.") ;; *) fail "message: $message" ;; esac
close_book
cmp group.inf original/group.inf || fail "the refused file changed the book"
pass "CSV without an e-mail column"

echo "== an LDIF list naming a member the file does not hold"
rm -f personal.inf group.inf
printf 'version: 1\n\ndn: cn=Eva,mail=eva@x\nobjectclass: inetOrgPerson\ncn: Eva\nmail: eva@x\n\n'\
'dn: cn=Club\nobjectclass: groupOfNames\ncn: Club\nmember: cn=Eva,mail=eva@x\nmember: cn=Ghost,mail=g@x\n' > club.ldif
start_in_book
through_dialog 117 "Import - LDIF -" club.ldif
message=$(take_message "the LDIF import with a missing member")
[ "$message" = "$(printf 'Imported: 1 persons, 1 new groups.\n\nThe first of them:\nGhost - member not in the file')" ] ||
  fail "report: $message"
expect_file group.inf '\x01\0\0\0Club\0\0\x01\0\0\0\x04\0\0\0Eva\0'
close_book
pass "member not in the file"
