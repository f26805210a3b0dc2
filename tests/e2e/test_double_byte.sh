#!/bin/bash
# Japanese names in a Japanese system (ANSI code page 932, Shift_JIS): a description whose
# character ends in a backslash byte ("so" 83 5C) is taken, two descriptions that differ only
# in a trail byte equal to "A" or "a" are two persons, and letters still count in either case;
# Find finds whole characters only.
source "$(dirname "$0")/lib.sh"
# Wine takes its ANSI code page from the locale; only Wine gets it (the shell has no such locale).
mkdir -p "$BOOK/japanese"
printf '#!/bin/sh\nLC_ALL=ja_JP.UTF-8 exec %s "$@"\n' "$(command -v wine)" >"$BOOK/japanese/wine"
chmod +x "$BOOK/japanese/wine"
export PATH=$BOOK/japanese:$PATH

# Shift_JIS bytes of a UTF-8 text, as hex.
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t SHIFT_JIS | od -An -tx1 -v | tr -d ' \n'; }
# Writes "personal.inf" from "description|email|names|memo" arguments given in UTF-8.
write_japanese_persons() {
  python3 - "$BOOK/personal.inf" "$@" <<'PY'
import struct, sys
out = struct.pack('<I', len(sys.argv) - 2)
for record in sys.argv[2:]:
    out += b''.join(f.encode('cp932') + b'\0' for f in record.split('|'))
open(sys.argv[1], 'wb').write(out)
PY
}
book_hex() { bytes "$BOOK/personal.inf"; }
# Wine's command line is 7-bit without a Japanese Unix locale: texts go to the driver as hex.
type_in() { driver settext-hex "$dialog" "$1" "$(sjis "$2")" || fail "could not type '$2' into control $1"; }
new_person() {
  driver command "$main" 100 || fail "could not send New Address"
  dialog=$(driver find-dialog Properties 105) || fail "no person dialog"
}
accepted() {
  driver click "$dialog" 1 || fail "could not press OK for $1"
  driver gone "$dialog" || fail "$1 was not accepted: $(driver msgbox "Address Book" 2>/dev/null | sed -n 1p)"
  wait_for "book_hex | grep -q '$(sjis "$1")'" || fail "$1 ($(sjis "$1")) is not in personal.inf: $(book_hex)"
}
refused() {
  local box first before; before=$(book_hex)
  driver click "$dialog" 1 || fail "could not press OK for '$1'"
  box=$(driver find "#32770" "Address Book") || fail "no message for '$1'"
  first=$(driver msgbox "Address Book" | sed -n 1p)
  [ "$first" = "$1" ] || fail "message '$first', want '$1'"
  driver click "$box" 1 || fail "could not dismiss '$1'"
  driver gone "$box" || fail "the message '$1' stayed"
  [ "$(book_hex)" = "$before" ] || fail "a refused entry changed personal.inf"
}

write_japanese_persons 'ア Tanaka|tanaka@example.jp|;;|'
start_book
main=$(main_window) || fail "no main window"
wait_for '[ "$(list_count "$main" 190)" = 1 ]' || fail "the book shows $(list_count "$main" 190) entries"

echo "== a description ending in the character so (83 5C) is taken, as are name parts with it"
new_person
type_in 100 'ソニー'
type_in 102 'ソ'
type_in 101 'sony@example.jp'
accepted 'ソニー'
book_hex | grep -q "$(sjis 'ソニー')00$(hex 'sony@example.jp')00$(sjis 'ソ')$(hex ';;')00" ||
  fail "the first name is not stored as typed: $(book_hex)"
pass "so taken"

echo "== a real backslash after it is still refused"
new_person
type_in 100 'ソ\'
refused "A service name cannot contain any of the following characters."
driver click "$dialog" 2 || fail "could not press Cancel"
driver gone "$dialog" || fail "Cancel left the dialog open"
pass "backslash refused"

echo "== a (83 41) and di (83 61) are two descriptions; the letters of Tanaka still fold"
new_person
type_in 100 'ア TANAKA'
refused "A service name you entered is already registered."
type_in 100 'ヂ Tanaka'
accepted 'ヂ Tanaka'
wait_for '[ "$(list_count "$main" 190)" = 3 ]' || fail "the list shows $(list_count "$main" 190) entries, want 3"
pass "a and di differ"

echo "== the Japanese entries after a restart, sorted by name"
driver post "$main" WM_CLOSE 0 0 >/dev/null
wait_exit "$LAST_PID" || fail "the address book did not end"
start_book
main=$(main_window) || fail "no main window after the restart"
wait_for '[ "$(list_count "$main" 190)" = 3 ]' || fail "the restarted book shows $(list_count "$main" 190) entries"
driver command "$main" 113 >/dev/null || fail "could not sort by name"
# "a" (83 41) sorts before "so" (83 5C) and "di" (83 61): slots 0, 1, 2
wait_for '[ "$(list_data "$main" 190 | tr "\n" " ")" = "0x0 0x10000 0x20000 " ]' ||
  fail "sorted by name the list is $(list_data "$main" 190 | tr '\n' ' ')"
screenshot "$BOOK/japanese_list.png"
pass "sorted, screenshot in $BOOK/japanese_list.png"

echo "== Find: a trail byte is no letter nor backslash of its own, whole characters are found"
driver command "$main" 109 >/dev/null || fail "could not send Find"
find=$(driver find-dialog Find 103) || fail "Find did not open"
not_found() {
  driver settext-hex "$find" 103 "$2" || fail "could not type $1 into Find"
  driver click "$find" 1 || fail "could not press Find for $1"
  local box; box=$(driver find "#32770" "Address Book") || fail "no 'not find' for $1: selection $(driver lb-sel "$main" 190)"
  [ "$(driver msgbox "Address Book")" = "not find" ] || fail "message for $1: $(driver msgbox "Address Book")"
  driver click "$box" 1 || fail "could not dismiss 'not find'"
  driver gone "$box" || fail "'not find' stayed"
}
not_found '"A" (the trail byte of a)' "$(hex A)"
not_found '"\\" (the trail byte of so)' 5c
driver settext-hex "$find" 103 "$(sjis 'ニー')" || fail "could not type ni-long into Find"
driver click "$find" 1 || fail "could not press Find"
wait_for '[ "$(driver lb-sel "$main" 190)" = 1 ]' || fail "Find of ni-long selected $(driver lb-sel "$main" 190), want 1"
screenshot "$BOOK/japanese_find.png"
driver click "$find" 2 || fail "could not close Find"
driver gone "$find" || fail "Close left Find open"
pass "Find by characters, screenshot in $BOOK/japanese_find.png"
