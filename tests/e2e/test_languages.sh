#!/bin/bash
# The language setting picks the resource set: each value 1 to 8 starts the program with its own
# title (text 101 of its set) and its own person dialog, German also with its own messages;
# 0, 9 and -1 keep the English set. One start after the other in the shared prefix.
source "$(dirname "$0")/lib.sh"
tables=$(cd "$(dirname "$0")/../../resources/lang" && pwd)
names=(english german french dutch italian danish swedish norwegian spanish)

# A translation from a language's table ($2 a string id or a quoted English text), as the
# program shows it: Windows-1252 bytes, escapes resolved.
translation() {
  LC_ALL=C sed -n "s/^$2 = \"\(.*\)\"\r\{0,1\}$/\1/p" "$tables/${names[$1]}.lang" |
    LC_ALL=C sed 's/\\n/\n/g; s/\\\\/\\/g'
}

# Starts the book with language $1 and checks its title, then the person dialog's caption and
# OK button ($2 and $3 the texts wanted, $4 the OK button's).
check_language() {
  printf '[Application]\nlanguage=%s\n' "$1" > "$SETTINGS"
  start_book
  main=$(driver find ZuAddressBook -) || fail "language $1: no main window"
  [ "$(driver text "$main")" = "$2" ] || fail "language $1: title '$(driver text "$main")', want '$2'"
  driver command "$main" 100
  dialog=$(driver find-dialog - 105) || fail "language $1: no person dialog"
  [ "$(driver text "$dialog")" = "$3" ] || fail "language $1: person dialog '$(driver text "$dialog")', want '$3'"
  [ "$(driver text "$dialog" 1)" = "$4" ] || fail "language $1: OK button '$(driver text "$dialog" 1)', want '$4'"
}

close_book() {
  driver click "$dialog" 2
  driver gone "$dialog" || fail "the person dialog stayed open"
  driver command "$main" 110
  wait_exit "$LAST_PID" || fail "the program did not end"
  stop_started
}

echo "== languages 1 to 8: title, person dialog"
for language in 1 2 3 4 5 6 7 8; do
  title=$(translation "$language" 101)
  [ -n "$title" ] || fail "no text 101 in ${names[$language]}.lang"
  check_language "$language" "$title" "$(translation "$language" '"Properties"')" "$(translation "$language" '"&OK"')"
  if [ "$language" = 1 ]; then
    driver settext "$dialog" 100 'a;b'
    driver click "$dialog" 1
    box=$(driver find "#32770" "$title") || fail "German: no message box captioned '$title'"
    [ "$(driver msgbox "$title")" = "$(translation 1 130)" ] || fail "German message: $(driver msgbox "$title")"
    driver click "$box" 1
    driver gone "$box"
  fi
  close_book
  pass "language $language (${names[$language]}): $title"
done

echo "== 0, 9 and -1: English"
for language in 0 9 -1; do
  check_language "$language" "Address Book" "Properties" "&OK"
  close_book
  pass "language $language: English"
done
