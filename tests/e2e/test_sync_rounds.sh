#!/bin/bash
# Syncs with real CardDAV servers on this machine. Radicale: the first sync of a book that holds
# a person brings the phone's card here and sends the person; the phone's edit comes in with
# command 122; at the next start the automatic sync uses the stored password. Xandikos: the
# first sync into an empty book.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"

# Waits until the book's person file holds a line starting "P TEXT".
wait_person() {
  wait_for "book_summary | grep -qF 'P $2'" 300 ||
    fail "$1: the book never took \"$2\"; it holds: $(book_summary | tr '\n' ';')"
}
# Waits until the address book holds COUNT cards. Usage: wait_cards STEP BOOKURL COUNT [CURLARGS]
wait_cards() {
  local step=$1 url=$2 count=$3; shift 3
  local i
  for ((i = 0; i < 150; i++)); do
    [ "$(phone_list "$url" "$@" | grep -c vcf || true)" = "$count" ] && return 0
    sleep 0.2
  done
  fail "$step: the server holds $(phone_list "$url" "$@" | tr '\n' ' '), want $count cards"
}

start_radicale "$BOOK/radicale"
start_xandikos "$BOOK/xandikos"
phone_card phone-1 "Phone One" one@example.org
phone_put "$RADICALE_BOOK" phone-1.vcf "$CARD" "${AUTH[@]}"
phone_put "$XANDIKOS_BOOK" phone-1.vcf "$CARD"

# ---- Radicale ----------------------------------------------------------------------------------
write_persons "Book Person|book@example.org|Book;;Person|from the book"
start_book
main=$(main_window) || fail "no main window"
dialog=$(open_settings)
fill_account "$dialog" "$RADICALE_URL" "$CARDDAV_USER" "$CARDDAV_PASSWORD"
connect_expecting "$dialog" 1
close_settings "$dialog"
wait_person "Radicale first sync" "Phone One|one@example.org"
wait_cards "Radicale first sync" "$RADICALE_BOOK" 2 "${AUTH[@]}"
[ "$(book_summary | grep -c '^P ')" = 2 ] || fail "Radicale first sync: the book holds $(book_summary | tr '\n' ';')"
settled "$main"
screenshot "$BOOK/sync-radicale-first.png"
pass "Radicale: the first sync brings the phone's card here and sends the book's person, nothing twice"

phone_card phone-1 "Phone One" changed@example.org
phone_put "$RADICALE_BOOK" phone-1.vcf "$CARD" "${AUTH[@]}"
driver command "$main" 122 >/dev/null
wait_person "Radicale edit on the phone" "Phone One|changed@example.org"
pass "Radicale: the phone's edit comes in with Synchronize"
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"

phone_card phone-2 "Phone Two" two@example.org
phone_put "$RADICALE_BOOK" phone-2.vcf "$CARD" "${AUTH[@]}"
start_book
main=$(main_window) || fail "no main window at the second start"
wait_person "Radicale automatic sync at start" "Phone Two|two@example.org"
[ "$(driver count "#32770" -)" = 0 ] || fail "the automatic sync opened a window"
pass "Radicale: at the next start the automatic sync uses the stored password and brings the new card"

# The phone deletes a card; command 125 reports the sync.
phone_delete "$RADICALE_BOOK" phone-2.vcf "${AUTH[@]}"
driver command "$main" 122 >/dev/null
wait_for "! book_summary | grep -qF 'P Phone Two|'" 300 ||
  fail "the phone's delete did not reach the book: $(book_summary | tr '\n' ';')"
settled "$main"
driver command "$main" 125 >/dev/null
report=$(driver msgbox "Address Book") || fail "command 125 showed no report"
case $report in "Synchronized: 0 new, 0 changed, 1 removed here; 0 sent to the server."*) ;;
  *) fail "the sync report reads: $report" ;; esac
box=$(driver find "#32770" "Address Book")
driver click "$box" 1 >/dev/null
driver gone "$box" >/dev/null || fail "the report stayed"
pass "Radicale: the phone's delete removes the entry here, and Sync report tells it"
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"

# The server takes another password now: the automatic sync says so in the status bar and asks
# nothing; F5 asks once, in the dialog with the password field ready.
CARDDAV_PASSWORD='new pass'
AUTH=(-u "$CARDDAV_USER:$CARDDAV_PASSWORD")
printf '%s:%s\n' "$CARDDAV_USER" "$CARDDAV_PASSWORD" > "$BOOK/radicale/users"
phone_card phone-3 "Phone Three" three@example.org
phone_put "$RADICALE_BOOK" phone-3.vcf "$CARD" "${AUTH[@]}"
start_book
main=$(main_window) || fail "no main window at the third start"
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
wait_for "driver acc $status | cut -f3 | grep -qx 'Password needed: press F5'" 300 ||
  fail "the status bar reads '$(driver acc "$status" | cut -f3)', want 'Password needed: press F5'"
[ "$(driver count "#32770" -)" = 0 ] || fail "the automatic sync asked for the password"
pass "Radicale: a refused password stops the automatic sync with \"Password needed: press F5\" and no question"
driver command "$main" 122 >/dev/null
dialog=$(driver find-dialog "Sync settings" 104) || fail "F5 after a refused password opened no dialog"
[ "$(driver focused "$dialog" | cut -f1)" = 102 ] || fail "the password field has not the focus: $(driver focused "$dialog")"
driver settext "$dialog" 102 "$CARDDAV_PASSWORD" >/dev/null
close_settings "$dialog"
wait_person "Radicale after the new password" "Phone Three|three@example.org"
pass "Radicale: Synchronize asks for the password in the dialog, and the sync then runs"
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"

# ---- Xandikos ----------------------------------------------------------------------------------
mkdir -p "$BOOK/x" "$BOOK/x2"
BOOK=$BOOK/x
start_book_in "$BOOK"
main=$(main_window) || fail "no main window (Xandikos)"
dialog=$(open_settings)
fill_account "$dialog" "$XANDIKOS_URL" "" ""
connect_expecting "$dialog" 1
close_settings "$dialog"
wait_person "Xandikos first sync" "Phone One|one@example.org"
pass "Xandikos: the first sync into an empty book brings the phone's card"
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"

# A book that already holds the phone's person (by another letter case) and one of its own.
BOOK=${BOOK%/x}/x2
cd "$BOOK"
write_persons "phone one|one@example.org|;;|memo here" "Desk Person|desk@example.org|;;|"
start_book_in "$BOOK"
main=$(main_window) || fail "no main window (Xandikos, second book)"
dialog=$(open_settings)
fill_account "$dialog" "$XANDIKOS_URL" "" ""
connect_expecting "$dialog" 1
close_settings "$dialog"
wait_cards "Xandikos first sync of a book with persons" "$XANDIKOS_BOOK" 2
settled "$main"
[ "$(book_summary | grep -c '^P ')" = 2 ] || fail "the first sync duplicated here: $(book_summary | tr '\n' ';')"
pass "Xandikos: the first sync links the person of the same name, sends the other, nothing twice"

# Deletes here: one with Synchronize, one just before the program closes.
indexes_of() { list_data "$main" 190 | grep -n -x "$1" | cut -d: -f1 | awk '{print $1 - 1}'; }
driver lb-select "$main" 190 "$(indexes_of 0x10000)" >/dev/null
driver command "$main" 105 >/dev/null
driver command "$main" 122 >/dev/null
wait_cards "Xandikos delete here" "$XANDIKOS_BOOK" 1
pass "Xandikos: a delete here reaches the server with Synchronize"
driver lb-select "$main" 190 "$(indexes_of 0x0)" >/dev/null
driver command "$main" 105 >/dev/null
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"
wait_cards "Xandikos delete before close" "$XANDIKOS_BOOK" 0
pass "Xandikos: a change not yet sent goes to the server as the program closes"
