#!/bin/bash
# File > Sync settings against real CardDAV servers on this machine: Connect finds the address
# books (Radicale with Basic authentication from the server's root, Xandikos over
# /.well-known/carddav and its principal), a wrong password is told, OK keeps the account in
# sync.ini and the password in no file, another address book is asked about naming both, an
# empty server address turns sync off and keeps the address book. Over HTTPS a certificate of an
# authority in the Root store is taken, and an untrusted one refused with the server and reason.
# While Connect waits on a server that does not answer, the dialog and the main window stay in
# use, and Cancel or OK end the wait at once; the late answer finds no dialog.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"
KALROOT=$(dirname "$KALBOOK_EXE")/kalroot.exe

start_radicale "$BOOK/radicale"
RADICALE_PLAIN_URL=$RADICALE_URL RADICALE_PLAIN_BOOK=$RADICALE_BOOK
start_xandikos "$BOOK/xandikos"

start_book
main=$(main_window) || fail "no main window"
driver command "$main" 122 >/dev/null
settled "$main"
[ "$(driver count "#32770" -)" = 0 ] || fail "Synchronize without an account opened a window"
pass "without an account Synchronize does nothing"

# ---- Radicale: Basic authentication, the address typed is the server's root --------------------
dialog=$(open_settings)
screenshot "$BOOK/sync-settings-empty.png"
[ "$(driver text "$dialog")" = "Sync settings" ] || fail "caption: $(driver text "$dialog")"
fill_account "$dialog" "$RADICALE_URL" "$CARDDAV_USER" "not the password"
driver click "$dialog" 104 >/dev/null
answer_box "The server refused the user name or the password."
[ "$(driver focused "$dialog" | cut -f1)" = 102 ] || fail "the password field has not the focus after the refusal: $(driver focused "$dialog")"
pass "Radicale: a wrong password is told and the password field takes the focus"

driver settext "$dialog" 102 "$CARDDAV_PASSWORD" >/dev/null
connect_expecting "$dialog" 1
screenshot "$BOOK/sync-settings-radicale.png"
pass "Radicale: Connect finds the one address book of the user from the server's address"

close_settings "$dialog"
[ "$(sync_key "$BOOK" server)" = "$RADICALE_URL" ] || fail "sync.ini server: $(cat "$BOOK/sync.ini")"
[ "$(sync_key "$BOOK" user)" = "$CARDDAV_USER" ] || fail "sync.ini user: $(cat "$BOOK/sync.ini")"
[ "$(sync_key "$BOOK" book)" = "$RADICALE_BOOK" ] || fail "sync.ini book: $(cat "$BOOK/sync.ini")"
[ "$(sync_key "$BOOK" auto)" = 1 ] || fail "sync.ini auto: $(cat "$BOOK/sync.ini")"
[ -z "$(sync_key "$BOOK" groups)" ] || fail "sync.ini groups set without a choice: $(cat "$BOOK/sync.ini")"
! grep -rlF "$CARDDAV_PASSWORD" "$BOOK" --exclude-dir=radicale --exclude-dir=xandikos ||
  fail "the password is written in a file of the book's folder"
pass "OK keeps server, user, address book and automatic sync in sync.ini, the password in no file"

# The stored password serves Connect with an empty password field.
dialog=$(open_settings)
[ "$(driver text "$dialog" 100)" = "$RADICALE_URL" ] || fail "the dialog shows server '$(driver text "$dialog" 100)'"
[ -z "$(driver text "$dialog" 102)" ] || fail "the password field is not empty"
connect_expecting "$dialog" 1
pass "Radicale: the password kept in the credential store serves Connect again"

# ---- Another address book: Xandikos, no authentication ------------------------------------------
fill_account "$dialog" "$XANDIKOS_URL" "" ""
connect_expecting "$dialog" 1
screenshot "$BOOK/sync-settings-xandikos.png"
pass "Xandikos: Connect finds its address book over /.well-known/carddav, the principal and its home"
driver click "$dialog" 1 >/dev/null
answer_box "Synchronize with the address book
$XANDIKOS_BOOK
in place of
$RADICALE_BOOK?

The book is then linked anew, as at a first sync." 7
[ "$(sync_key "$BOOK" book)" = "$RADICALE_BOOK" ] || fail "No changed the address book"
driver click "$dialog" 1 >/dev/null
answer_box "Synchronize with the address book
$XANDIKOS_BOOK
in place of
$RADICALE_BOOK?

The book is then linked anew, as at a first sync." 6
driver gone "$dialog" >/dev/null || fail "Yes did not close the dialog"
[ "$(sync_key "$BOOK" book)" = "$XANDIKOS_BOOK" ] || fail "sync.ini book after Yes: $(cat "$BOOK/sync.ini")"
pass "another address book is asked about, naming both; No keeps the old one, Yes takes the new one"

# Turning sync off keeps the address book (and with it the state).
dialog=$(open_settings)
driver settext "$dialog" 100 "" >/dev/null
close_settings "$dialog"
[ -z "$(sync_key "$BOOK" server)" ] || fail "sync.ini server after turning off: $(cat "$BOOK/sync.ini")"
[ "$(sync_key "$BOOK" book)" = "$XANDIKOS_BOOK" ] || fail "turning off forgot the address book"
driver command "$main" 122 >/dev/null
settled "$main"
[ "$(driver count "#32770" -)" = 0 ] || fail "Synchronize with sync turned off opened a window"
pass "OK with an empty server address turns sync off and keeps the address book"

# ---- Connect waits on a server that does not answer (a gate before Radicale) ---------------------
GATE=$BOOK/gate GATE_LOG=$BOOK/gate.port.log
touch "$GATE"
/usr/bin/python3 "$(dirname "$0")/bad_dav_server.py" gate "$BOOK/gate.port" "$RADICALE_PLAIN_URL" "$GATE" &
CARDDAV_PIDS+=($!)
wait_for "[ -s '$BOOK/gate.port' ]" 150 || fail "the hanging server did not start"
HANG=http://127.0.0.1:$(cat "$BOOK/gate.port")
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
dialog=$(open_settings)
fill_account "$dialog" "$HANG" "$CARDDAV_USER" "$CARDDAV_PASSWORD"
driver click-sync "$dialog" 104 >/dev/null || fail "Connect did not return while the server does not answer"
wait_for "grep -q '^waits ' '$GATE_LOG'" 100 || fail "Connect asked the hanging server nothing"
[ "$(driver enabled "$dialog" 104)" = 0 ] || fail "Connect is not greyed while it waits"
[ "$(driver enabled "$dialog" 103)" = 0 ] || fail "the list of address books is not greyed while Connect waits"
driver settext "$dialog" 101 "$CARDDAV_USER typed" >/dev/null
[ "$(driver text "$dialog" 101)" = "$CARDDAV_USER typed" ] || fail "the user field took no text while Connect waits"
driver acc "$status" >/dev/null || fail "the main window's status bar does not answer while Connect waits"
driver send "$main" 15 0 0 >/dev/null || fail "the main window does not paint while Connect waits"  # WM_PAINT
screenshot "$BOOK/sync-connect-waiting.png"
driver click "$dialog" 2 >/dev/null
driver gone "$dialog" >/dev/null || fail "Cancel did not close the dialog while Connect waited"
pass "while Connect waits on a server that does not answer the dialog and the window answer; Cancel closes at once"

rm -f "$GATE"
wait_for "grep -q '^answered ' '$GATE_LOG'" 100 || fail "the gate did not let the waiting request through"
settled "$main" || fail "the program does not answer after the late answer of the given-up Connect"
[ "$(driver count "#32770" -)" = 0 ] || fail "the late answer of the given-up Connect opened a window"
touch "$GATE"
waited=$(grep -c '^waits ' "$GATE_LOG")
dialog=$(open_settings)
fill_account "$dialog" "$HANG" "$CARDDAV_USER" "$CARDDAV_PASSWORD"
driver click-sync "$dialog" 104 >/dev/null || fail "the second Connect did not return"
wait_for "[ \$(grep -c '^waits ' '$GATE_LOG') -gt $waited ]" 100 || fail "the second Connect asked nothing"
driver settext "$dialog" 100 "" >/dev/null
close_settings "$dialog"
[ -z "$(sync_key "$BOOK" server)" ] || fail "OK during Connect kept server '$(sync_key "$BOOK" server)'"
[ "$(sync_key "$BOOK" book)" = "$XANDIKOS_BOOK" ] || fail "OK during Connect changed the address book: $(cat "$BOOK/sync.ini")"
rm -f "$GATE"
pass "OK while Connect waits closes the dialog at once and keeps the address book"

# ---- HTTPS: a certificate of a trusted authority, and one of nobody's ----------------------------
make_test_certificates "$BOOK/certs"
wine "$KALROOT" "$(winepath -w "$BOOK/certs/ca.der")" | tr -d '\r' | grep -qx ADDED ||
  fail "the test authority did not go into the Root store"
start_radicale "$BOOK/radicale-tls" tls "$BOOK/certs/server.pem" "$BOOK/certs/server.key"
dialog=$(open_settings)
fill_account "$dialog" "$RADICALE_URL" "$CARDDAV_USER" "$CARDDAV_PASSWORD"
connect_expecting "$dialog" 1
pass "HTTPS: Radicale with a certificate of an authority in the Root store is taken"

start_radicale "$BOOK/radicale-untrusted" tls "$BOOK/certs/untrusted.pem" "$BOOK/certs/untrusted.key"
fill_account "$dialog" "$RADICALE_URL" "$CARDDAV_USER" "$CARDDAV_PASSWORD"
driver settext "$dialog" 100 "$RADICALE_URL" >/dev/null
driver click "$dialog" 104 >/dev/null
# The system names the fault of the certificate, or (Wine) only that no secure connection came.
text=$(driver msgbox "Address Book") || fail "the untrusted certificate showed no message"
case $text in
  "The connection to $RADICALE_URL was refused: its certificate is not issued by an authority this computer trusts" |\
  "The connection to $RADICALE_URL was refused: the secure connection could not be set up") ;;
  *) fail "the untrusted certificate's message reads: $text" ;;
esac
box=$(driver find "#32770" "Address Book")
driver click "$box" 1 >/dev/null
driver gone "$box" >/dev/null || fail "the message stayed"
[ "$(list_count "$dialog" 103)" = 0 ] || fail "the untrusted server's address books are listed"
grep -q "$CARDDAV_USER" "$BOOK/radicale-untrusted/log" && fail "the untrusted server was sent the account" || true
screenshot "$BOOK/sync-untrusted.png"
pass "HTTPS: an untrusted certificate refuses the connection, naming the server and the reason"
driver click "$dialog" 2 >/dev/null
driver gone "$dialog" >/dev/null || fail "Cancel did not close the dialog"

driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"
