#!/bin/bash
# The book follows its user: a copy of kalbook.exe started from its own folder, which holds no
# book, opens the book kept in %APPDATA%\kalbook (the folder a start under "Program Files" once
# chose) and says in the status bar where it is; a new entry lands there. Any other start folder
# keeps or starts its own book, and the program's folder with a book of its own keeps it.
source "$(dirname "$0")/lib.sh"

program_folder=$BOOK/program
mkdir -p "$program_folder" "$BOOK/elsewhere"
cp "$KALBOOK_EXE" "$program_folder/kalbook.exe"
KALBOOK_EXE=$program_folder/kalbook.exe
user_book=$USER_SETTINGS_DIR
[ ! -e "$user_book" ] || fail "the test did not start without $user_book"
mkdir -p "$user_book"
(cd "$user_book" && BOOK=$user_book write_persons 'Kept Person|kept@example.org|;;|in the user folder')
printf '\0\0\0\0' > "$user_book/group.inf"
user_book_win=$(winepath -w "$user_book" 2>/dev/null)

status_text() { driver acc "$(driver find-child "$main" StatusWindowClass)" | cut -f3; }
stop_book() {
  driver command "$main" 110 >/dev/null
  wait_exit "$LAST_PID" || fail "the book did not close"
}

echo "== started from the program's folder without a book: the user's book, and where it is"
start_book_in "$program_folder"
main=$(main_window) || fail "no main window"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "a message at start: $(driver msgbox "Address Book")"
wait_for '[ "$(list_count "$main" 190)" = 1 ]' || fail "the list shows $(list_count "$main" 190) entries, not the user's book"
[ "$(driver acc-items "$(driver child "$main" 190)" | cut -f4)" = "Kept Person, kept@example.org, in the user folder" ] ||
  fail "the list shows $(driver acc-items "$(driver child "$main" 190)")"
[ "$(status_text)" = "The address book is kept in $user_book_win" ] || fail "the status bar says '$(status_text)'"
screenshot "$BOOK/followed.png"
driver command "$main" 100 >/dev/null
dialog=$(driver find-dialog Properties 105) || fail "person dialog did not open"
driver settext "$dialog" 100 "New Person" >/dev/null
driver click "$dialog" 1 >/dev/null
driver gone "$dialog" || fail "OK did not close the person dialog"
wait_for '(cd "$user_book" && BOOK=$user_book book_summary) | grep -q "^P New Person|"' ||
  fail "the new person is not in the user's book: $(cd "$user_book" && BOOK=$user_book book_summary)"
[ ! -e "$program_folder/personal.inf" ] || fail "a book was started in the program's folder"
stop_book
pass "the user's book is opened"

echo "== another start folder keeps or starts its own book"
start_book_in "$BOOK/elsewhere"
main=$(main_window) || fail "no main window"
[ "$(list_count "$main" 190)" = 0 ] || fail "another folder shows $(list_count "$main" 190) entries"
[ -z "$(status_text)" ] || fail "the status bar says '$(status_text)' in another folder"
stop_book
pass "another folder"

echo "== the program's folder with a book of its own keeps it"
(cd "$program_folder" && BOOK=$program_folder write_persons 'Own Person|own@example.org|;;|')
start_book_in "$program_folder"
main=$(main_window) || fail "no main window"
wait_for '[ "$(list_count "$main" 190)" = 1 ]' || fail "the program's own book shows $(list_count "$main" 190) entries"
[ "$(driver acc-items "$(driver child "$main" 190)" | cut -f4)" = "Own Person, own@example.org" ] ||
  fail "the list shows $(driver acc-items "$(driver child "$main" 190)")"
[ -z "$(status_text)" ] || fail "the status bar says '$(status_text)' with the book in the start folder"
stop_book
pass "the program's folder keeps its own book"

echo "== without a book in the user's folder the program's folder starts its own"
rm -f "$program_folder/personal.inf" "$user_book/personal.inf" "$user_book/group.inf"
start_book_in "$program_folder"
main=$(main_window) || fail "no main window"
[ "$(list_count "$main" 190)" = 0 ] && [ -z "$(status_text)" ] || fail "an empty user's folder was followed"
stop_book
pass "nothing to follow"
