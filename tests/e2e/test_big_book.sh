#!/bin/bash
# A book of some thousands of entries through the bulk list changes: both sorts, an import on
# top of a selection, a delete of many selected entries, then >>To and <<Delete of many in the
# recipient box. Each time the lists' items, their order and the selection are checked.
source "$(dirname "$0")/lib.sh"

persons=3000
# Descriptions and addresses in two different shuffled orders; two groups after the persons.
python3 - "$BOOK/personal.inf" "$BOOK/group.inf" "$persons" <<'PY'
import random, struct, sys
n = int(sys.argv[3])
rng = random.Random(14)
names, mails = list(range(n)), list(range(n))
rng.shuffle(names); rng.shuffle(mails)
out = [struct.pack('<I', n)]
for slot in range(n):
    out.append(b'N%05d\0m%05d@x\0;;\0\0' % (names[slot], mails[slot]))
open(sys.argv[1], 'wb').write(b''.join(out))
groups = [b'Zeta', b'Alpha']
open(sys.argv[2], 'wb').write(struct.pack('<I', 2) + b''.join(g + b'\0\0' + struct.pack('<II', 0, 0) for g in groups))
PY

# The expected ItemRefs as hex, one a line: persons ordered by the field's number, then groups.
expected() {
  python3 - "$BOOK/personal.inf" "$1" "$2" "$3" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
field, direction, groups = int(sys.argv[2]), sys.argv[3], sys.argv[4]
n = struct.unpack_from('<I', data)[0]
at, keys = 4, []
for slot in range(n):
    fields = []
    for _ in range(4):
        end = data.index(b'\0', at); fields.append(data[at:end]); at = end + 1
    keys.append((fields[field], slot))
keys.sort(reverse=direction == 'down')
for _, slot in keys: print(hex(slot << 16))
for slot in groups.split(','): print(hex((int(slot) << 16) | 1))
PY
}
entries() { list_data "$main" 190; }
same_as() { [ "$(entries)" = "$1" ]; }

start_book
main=$(main_window) || fail "no main window"
[ "$(list_count "$main" 190)" = $((persons + 2)) ] || fail "start-up fill: $(list_count "$main" 190)"

echo "== sorts by name, both ways, and by e-mail"
want=$(expected 0 up 1,0)
driver command "$main" 113
wait_for 'same_as "$want"' 100 || fail "name sort ascending differs"
want=$(expected 0 down 0,1)
driver command "$main" 113
wait_for 'same_as "$want"' 100 || fail "name sort descending differs"
want=$(expected 1 up 0,1)
driver command "$main" 114
wait_for 'same_as "$want"' 100 || fail "e-mail sort differs"
pass "sorts of $((persons + 2)) entries"

echo "== an import of 1000 aliases goes on top in reverse order; the selection moves with its items"
python3 -c "
import sys
open(sys.argv[1], 'w').write(''.join('alias Imported%04d i%04d@y\r\n' % (i, i) for i in range(1000)))" "$BOOK/aliases.txt"
before=$(entries)
driver lb-select "$main" 190 5 6 2000
driver command "$main" 108
driver openfile "Import - Eudora address book -" "$(winpath aliases.txt)" || fail "no file chooser"
want=$( (for ((i = persons + 999; i >= persons; i--)); do printf '0x%x\n' $((i << 16)); done; echo "$before") )
wait_for 'same_as "$want"' 100 || fail "import: $(list_count "$main" 190) items, order differs"
[ "$(driver lb-sel "$main" 190 | tr '\n' ' ')" = "1005 1006 3000 " ] ||
  fail "selection after the import: $(driver lb-sel "$main" 190 | tr '\n' ' ')"
pass "import on top"

echo "== a delete of 1500 selected entries leaves the others in their order"
before=$(entries)
driver lb-select-range "$main" 190 500 1999
driver command "$main" 105
want=$( (echo "$before" | sed -n '1,500p'; echo "$before" | sed -n '2001,$p') )
wait_for 'same_as "$want"' 100 || fail "delete: $(list_count "$main" 190) items, order differs"
[ -z "$(driver lb-sel "$main" 190)" ] || fail "items still selected after the delete"
wait_for '[ "$(book_summary | grep -c "^P ")" = $((persons + 1000 - 1500)) ]' ||
  fail "personal.inf holds $(book_summary | grep -c '^P ')"
pass "delete of many"
driver command "$main" 110
wait_exit "$LAST_PID" || fail "the book did not close"

echo "== >>To of 1200 entries, then <<Delete of 1000 recipients"
start_host
start_book /o
main=$(main_window) || fail "no main window in /o"
box=$(driver find-child "$main" ToBoxClass)
driver lb-select-range "$main" 190 100 1299
driver click "$box" 186
chosen=$(entries | sed -n '101,1300p')
wait_for '[ "$(list_data "$box" 189)" = "$chosen" ]' 100 || fail ">>To: $(list_count "$box" 189) recipients"
driver lb-select-range "$main" 190 0 149
driver click "$box" 186
all=$( (echo "$chosen"; entries | sed -n '1,100p') )
wait_for '[ "$(list_data "$box" 189)" = "$all" ]' 100 || fail ">>To again: $(list_count "$box" 189) recipients"
driver lb-select-range "$box" 189 50 1049
driver click "$box" 187
left=$(echo "$all" | sed -e '51,1050d')
wait_for '[ "$(list_data "$box" 189)" = "$left" ]' 100 || fail "<<Delete: $(list_count "$box" 189) recipients"
pass "recipients in bulk"
