#!/bin/bash
# vCard both ways under Wine: cards in the forms address programs export imported through the
# open-file dialog, and the report of what an import did not take as it stood; File > Export >
# vCard through the save dialog with nothing selected, with a group selected, over an existing
# file and onto a file that cannot be written; and the round trip of a whole book with its groups
# back into an empty one, byte for byte.
source "$(dirname "$0")/lib.sh"
export_title='Export - vCard -'

start_in_book() {
  start_book
  book_pid=$LAST_PID
  main=$(main_window) || fail "no main window"
}
close_book() { driver command "$main" 110; wait_exit "$book_pid" || fail "did not exit"; }
export_to() {
  driver command "$main" 115
  driver openfile "$export_title" "$(winpath "$1")" || fail "no save dialog '$export_title'"
}

echo "== import: 2.1 with quoted-printable and a charset, 3.0 with groups, folding and a PHOTO, Shift_JIS, a byte-order mark"
rm -f "$BOOK"/*
printf '\xEF\xBB\xBF\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN;LANGUAGE=en-us:Doe;Jane\r\nFN:Jane Doe\r\n'\
'NOTE;CHARSET=Windows-1252;ENCODING=QUOTED-PRINTABLE:Caf=E9 au lait=0D=0A=\r\nevery day\r\n'\
'EMAIL;PREF;INTERNET:jane@example.com\r\nEMAIL;INTERNET:old@example.com\r\nEND:VCARD\r\n'\
'BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;John;;;\r\nFN:John Smith\r\nEMAIL;TYPE=INTERNET,HOME:home@example.com\r\n'\
'item1.EMAIL;type=INTERNET;type=pref:john.smith@exam\r\n ple.com\r\nitem1.X-ABLabel:_$!<Other>!$_\r\n'\
'PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoHBwYIDAoMDAsK\r\n'\
' N:Not;A;Name\r\n EMAIL:no@example.com\r\nEND:VCARD\r\n'\
'BEGIN:VCARD\r\nVERSION:3.0\r\nFN;CHARSET=SHIFT_JIS:\x95\x5C,x\r\nEMAIL:sj@example.jp\r\nEND:VCARD\r\n' > forms.vcf
printf 'BEGIN:VCARD\nVERSION:4.0\nFN:\xC3\x85sa Berg\nN:Berg;\xC3\x85sa;;;\nEMAIL;PREF=2:second@x\n'\
'EMAIL;TYPE=work;PREF=1:asa@x\nEND:VCARD\nbegin:vcard\nversion:2.1\n'\
'FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85ke =E2=82=AC\nEMAIL;HOME:ake@x\nend:vcard\n' > lf.vcf
start_in_book
toolbar=$(driver find-child "$main" ToolBarClass)
[ "$(driver enabled "$toolbar" 182)" = 0 ] || fail "New group enabled in an empty book"
driver command "$main" 106
driver openfile "Import - vCard -" "$(winpath forms.vcf)" || fail "no chooser"
# A Western system cannot show the Shift_JIS description: the address stands in for it.
expect_book '\x03\0\0\0Jane Doe\0jane@example.com\0Jane;;Doe\0Caf\xe9 au lait every day\0'\
'John Smith\0john.smith@example.com\0John;;Smith\0\0sj@example.jp\0sj@example.jp\0;;\0\0'
expect_report 'Imported: 3 persons, 0 new groups.\nChanged: 1 (cut to the field'"'"'s length: 0; characters this system cannot show: 1; groups left out: 0).\n\nThe first of them:\nsj@example.jp - characters this system cannot show'
driver command "$main" 106
driver openfile "Import - vCard -" "$(winpath lf.vcf)" || fail "no chooser"
expect_book '\x05\0\0\0Jane Doe\0jane@example.com\0Jane;;Doe\0Caf\xe9 au lait every day\0'\
'John Smith\0john.smith@example.com\0John;;Smith\0\0sj@example.jp\0sj@example.jp\0;;\0\0'\
'\xc5sa Berg\0asa@x\0\xc5sa;;Berg\0\0\xc5ke \x80\0ake@x\0;;\0\0'
[ "$(list_data "$main" 190 | tr '\n' ' ')" = "0x40000 0x30000 0x20000 0x10000 0x0 " ] ||
  fail "entry list: $(list_data "$main" 190 | tr '\n' ' ')"
# Enabling runs after an import, so the book's first persons make New group (and Export) available.
wait_for '[ "$(driver enabled "$toolbar" 182)" = 1 ]' 10 || fail "New group still disabled after the import"
close_book
pass "import of the exporters' forms"

echo "== import on a Japanese system (code page 932): Shift_JIS kept, best fit, no cut inside a character"
rm -f "$BOOK"/*
yama=$(printf '\xe5\xb1\xb1%.0s' $(seq 1 130))
printf 'BEGIN:VCARD\r\nFN;CHARSET=SHIFT_JIS:\x8e\x52\x93\x63 \x95\x5c,x \x82\x60\r\nNOTE:Caf\xc3\xa9 \xe5\xb1\xb1\xe7\x94\xb0\r\n'\
'EMAIL:y@x\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:a%s\r\nEMAIL:long@x\r\nEND:VCARD\r\n' "$yama" > sjis.vcf
LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 start_book
book_pid=$LAST_PID
main=$(main_window) || fail "no main window"
driver command "$main" 106
driver openfile "Import - vCard -" "$(winpath sjis.vcf)" || fail "no chooser"
# Stored as long as the person dialog takes it: 258 bytes, and no character cut in two.
long_yama="a$(printf '\\x8e\\x52%.0s' $(seq 1 128))"
expect_book '\x02\0\0\0\x8e\x52\x93\x63 \x95\x5c,x \x82\x60\0y@x\0;;\0Cafe \x8e\x52\x93\x63\0'\
"$long_yama"'\0long@x\0;;\0\0'
# The driver runs on a Western code page, so it reads each of those characters as "?".
expect_report 'Imported: 2 persons, 0 new groups.\nChanged: 1 (cut to the field'"'"'s length: 1; characters this system cannot show: 0; groups left out: 0).\n\nThe first of them:\na'"$(printf '?%.0s' $(seq 1 128))"' - cut'
close_book
pass "Japanese code page"

echo "== import report: unshowable names, a person already in the book, one without e-mail, a memo too long, groups"
rm -f "$BOOK"/*
write_persons 'Ann Lee|ann@x|Ann;;Lee|' 'Bob|bob@x|;;|'
write_groups 'Team||Bob'
memo=$(printf 'm%.0s' $(seq 1 300))
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xe7\x8e\x8b\xe4\xbc\x9f\r\nN:\xe7\x8e\x8b;\xe4\xbc\x9f;;;\r\nEMAIL:wang@x\r\n'\
'CATEGORIES:Chess\r\nEND:VCARD\r\n'\
'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xc5\x81ukasz \xe6\x9d\x8e\r\nN:Nowak;\xc5\x81ukasz;;;\r\nEMAIL:lukasz@x\r\nEND:VCARD\r\n'\
'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:ann lee\r\nEMAIL:ann2@x\r\nCATEGORIES:Team,My Contacts\r\nEND:VCARD\r\n'\
'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:No Mail\r\nTEL:123\r\nEND:VCARD\r\n'\
'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Memo Long\r\nEMAIL:memo@x\r\nNOTE:%s\r\nCATEGORIES:chess,a/b\r\nEND:VCARD\r\n' "$memo" > report.vcf
start_in_book
driver command "$main" 106
driver openfile "Import - vCard -" "$(winpath report.vcf)" || fail "no chooser"
# "a/b" is no name the group dialog takes: it becomes "a-b", and the report says so.
expect_report 'Imported: 3 persons, 2 new groups.\n'\
'Not taken: 2 (already in the book: 1; without an e-mail address or a name: 1; over the book'"'"'s limit: 0).\n'\
'Changed: 3 (cut to the field'"'"'s length: 1; characters this system cannot show: 2; groups left out: 0).\n'\
'Names changed to fit the rules: 1\n\n'\
'The first of them:\n'\
'wang@x - characters this system cannot show\n'\
'Lukasz Nowak - characters this system cannot show\n'\
'ann lee - already in the book\n'\
'No Mail - no e-mail address\n'\
'Memo Long - cut\n'\
'a-b - name changed to fit the rules'
want="P Ann Lee|ann@x|Ann;;Lee|
P Bob|bob@x|;;|
P wang@x|wang@x|;;|
P Lukasz Nowak|lukasz@x|Lukasz;;Nowak|
P Memo Long|memo@x|;;|${memo:0:258}
G Team||2|12|Bob,Ann Lee
G Chess||2|17|wang@x,Memo Long
G a-b||1|10|Memo Long"
wait_for '[ "$(book_summary)" = "$want" ]' || fail "book after the import:
$(book_summary)"
# The new groups stand at the top of the list, above the new persons in reverse file order.
[ "$(list_data "$main" 190 | head -5 | tr '\n' ' ')" = "0x20001 0x10001 0x40000 0x30000 0x20000 " ] ||
  fail "entry list: $(list_data "$main" 190 | tr '\n' ' ')"
close_book
pass "import report and groups"

echo "== export with nothing selected: every person, groups as categories"
rm -f "$BOOK"/*
write_persons 'Ann Lee|ann@x|Ann;;Lee|likes tea, coffee; cake' 'Bob|bob@x|;;|' \
  'José Núñez|jose@x|José;;Núñez|Café' 'No Mail||;;|memo'
write_groups 'Team||Ann Lee,José Núñez' 'Solo||Bob'
ann='BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nN:Lee;Ann;;;\r\nEMAIL;TYPE=INTERNET:ann@x\r\nNOTE:likes tea\\, coffee\\; cake\r\nCATEGORIES:Team\r\nEND:VCARD\r\n'
bob='BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\nN:;;;;\r\nEMAIL;TYPE=INTERNET:bob@x\r\nCATEGORIES:Solo\r\nEND:VCARD\r\n'
jose='BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Jos\xc3\xa9 N\xc3\xba\xc3\xb1ez\r\nN:N\xc3\xba\xc3\xb1ez;Jos\xc3\xa9;;;\r\nEMAIL;TYPE=INTERNET:jose@x\r\nNOTE:Caf\xc3\xa9\r\nCATEGORIES:Team\r\nEND:VCARD\r\n'
nomail='BEGIN:VCARD\r\nVERSION:3.0\r\nFN:No Mail\r\nN:;;;;\r\nNOTE:memo\r\nEND:VCARD\r\n'
before=$(bytes personal.inf)$(bytes group.inf)
start_in_book
export_to all.vcf
expect_file all.vcf "$ann$bob$jose$nomail"
pass "export of the whole book"

echo "== export with a group selected: its members; with a person and a group: each once, in slot order"
driver lb-select "$main" 190 4 || fail "cannot select the group"
export_to team.vcf
expect_file team.vcf "$ann$jose"
driver lb-select "$main" 190 2 4 1 || fail "cannot select"
export_to mixed.vcf
expect_file mixed.vcf "$ann$bob$jose"
pass "export of a selection"

echo "== export over an existing file asks first"
driver lb-select "$main" 190 1 || fail "cannot select Bob"
export_to all.vcf
confirm=$(driver find-dialog "$export_title" 6) || fail "no overwrite question"
driver click "$confirm" 6
expect_file all.vcf "$bob"
pass "overwrite question"

echo "== a file that cannot be written: a message naming it, the target untouched"
mkdir contacts.vcf.tmp
export_to contacts.vcf
message=$(driver msgbox "Address Book") || fail "no message box"
case "$message" in *contacts.vcf*) ;; *) fail "message does not name the file: $message" ;; esac
box=$(driver find "#32770" "Address Book") || fail "no message box"
driver click "$box" 1
driver gone "$box" || fail "message box stayed"
[ ! -e contacts.vcf ] || fail "a target was written"
rmdir contacts.vcf.tmp
[ "$(bytes personal.inf)$(bytes group.inf)" = "$before" ] || fail "export touched the data files"
close_book
pass "write failure"

echo "== export refused with no live person"
rm -f "$BOOK"/*
start_in_book
# Sent, so it returns once handled; a chooser it opened would hold it up and be seen below.
driver -t 5 send "$main" WM_COMMAND 115 0 >/dev/null || true
[ "$(driver count "#32770" "$export_title")" = 0 ] || fail "export offered an empty book"
close_book
pass "empty book"

echo "== round trip: a whole book exported and imported into an empty one gives both files back"
rm -f "$BOOK"/*
python3 - "$BOOK/personal.inf" "$BOOK/group.inf" <<'PY'
import random, struct, sys
chars = [bytes([c]) for c in range(0x21, 0x100) if c != 0x7F] + [b' ']
# Names as the dialogs take them: none of the characters the name rules refuse.
named = [c for c in chars if c not in (b';', b'\\', b'/', b'*', b':', b'?', b'"', b'<', b'>', b'|', b'(', b')')]
rng = random.Random(16)
def text(n, pool=chars):
    t = b''.join(rng.choice(pool) for _ in range(n))
    return b'a' + t[1:-1] + b'z' if n > 1 else b'a'
def part(n): return text(n, named)
records = [(b'Ann', b'ann@x', b'Ann;;Lee', b''), (b'Smith, John, Jr.', b'j@x', b'John;P.;Smith', b'a;b,c\\d'),
           (b'Memo full', b'm@x', b';;', text(258))]
for i in range(40):
    records.append((text(rng.randint(1, 250), named) + str(i).encode(), text(rng.randint(1, 127)),
                    part(rng.randint(1, 80)) + b';' + part(rng.randint(1, 80)) + b';' + part(rng.randint(1, 80)),
                    text(rng.randint(1, 258))))
out = struct.pack('<I', len(records)) + b''.join(b''.join(f + b'\0' for f in r) for r in records)
open(sys.argv[1], 'wb').write(out)
# Groups in the order their first members stand, members in slot order: as an import makes them.
groups = [(b'Friends, old', [0, 2, 5, 9]), (b'Work & play', [1, 2, 3, 40]), (b'\xc4rzte', [4, 10, 20, 42])]
out = struct.pack('<I', len(groups))
for name, members in groups:
    body = b''.join(records[m][0] + b'\0' for m in members)
    out += name + b'\0\0' + struct.pack('<II', len(members), len(body)) + body
open(sys.argv[2], 'wb').write(out)
PY
mkdir -p "$BOOK/original" && mv personal.inf group.inf original/
cp original/personal.inf original/group.inf .
start_in_book
export_to book.vcf
wait_for "[ -s book.vcf ]" || fail "nothing exported"
close_book
python3 - book.vcf <<'PY' || fail "exported lines longer than 75 octets or not UTF-8"
import sys
data = open(sys.argv[1], 'rb').read()
data.decode('utf-8')
lines = data.split(b'\r\n')
assert all(len(l) <= 75 for l in lines) and not data.startswith(b'\xef\xbb\xbf')
PY
mv book.vcf original/
rm -f "$BOOK"/personal.inf "$BOOK"/group.inf
start_in_book
driver command "$main" 106
driver openfile "Import - vCard -" "$(winpath original/book.vcf)" || fail "no chooser"
wait_for "[ -s personal.inf ] && [ -s group.inf ]" || fail "nothing imported"
close_book
cmp personal.inf original/personal.inf || fail "the round trip changed personal.inf"
cmp group.inf original/group.inf || fail "the round trip changed group.inf"
pass "round trip"
