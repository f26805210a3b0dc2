#!/bin/bash
# Duplicates with sync, against Radicale: three cards of one person (one with a telephone line)
# come into the book; the merge with F5 leaves one card on the server, the survivor's own, with
# the values chosen and its telephone line as it was; Ctrl+Z and F5 put the three cards back
# with their UIDs and texts.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"

# A key pressed in the main window, as the user presses it.
press() {
  local w; w=$(x_window "Address Book")
  [ -n "$w" ] || fail "no X window for the main window"
  xdotool windowactivate --sync "$w" 2>/dev/null || true
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  xdotool key --clearmodifiers "$1"
}
lines() { tr -d '\r' | tr '\n' '|'; }
status_text() { driver acc "$status" | cut -f3; }
# Waits until the status bar tells the end of a sync with these counts.
wait_synced() {
  wait_for "[ \"\$(status_text)\" = 'Synchronized: $2' ]" 300 ||
    fail "$1: the status bar reads '$(status_text)', want 'Synchronized: $2'"
}
cards() { phone_list "$RADICALE_BOOK" "${AUTH[@]}" | sed 's|.*/||' | sort | tr '\n' ' '; }
card() { phone_get "$RADICALE_BOOK" "$1" "${AUTH[@]}" | tr -d '\r'; }

start_radicale "$BOOK/radicale"
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann-1\r\nFN:Ann\r\nN:;Ann;;;\r\nEMAIL;TYPE=INTERNET:ann@example.org\r\nNOTE:first\r\nTEL;TYPE=CELL:+1 555 0100\r\nEND:VCARD\r\n' > "$CARD"
phone_put "$RADICALE_BOOK" ann-1.vcf "$CARD" "${AUTH[@]}"
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann-2\r\nFN:Lee\\, Ann\r\nN:;;;;\r\nEMAIL;TYPE=INTERNET:lee@example.org\r\nNOTE:phone\r\nEND:VCARD\r\n' > "$CARD"
phone_put "$RADICALE_BOOK" ann-2.vcf "$CARD" "${AUTH[@]}"
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ann-3\r\nFN:ann lee\r\nN:Lee;Ann;M;;\r\nEMAIL;TYPE=INTERNET:ANN@example.org\r\nEND:VCARD\r\n' > "$CARD"
phone_put "$RADICALE_BOOK" ann-3.vcf "$CARD" "${AUTH[@]}"

echo "== the first sync brings the three cards"
start_book
main=$(main_window) || fail "no main window"
status=$(driver find-child "$main" StatusWindowClass) || fail "no status bar"
dialog=$(open_settings)
fill_account "$dialog" "$RADICALE_URL" "$CARDDAV_USER" "$CARDDAV_PASSWORD"
driver click "$dialog" 105 >/dev/null  # no automatic sync: each sync here is F5's
connect_expecting "$dialog" 1
close_settings "$dialog"
wait_synced "first sync" "3 new, 0 changed, 0 removed here; 0 sent to the server"
[ "$(book_summary | grep -c '^P ')" = 3 ] || fail "first sync: the book holds $(book_summary | lines)"
for n in 1 2 3; do card "ann-$n.vcf" > "$BOOK/ann-$n.before" || fail "the phone cannot read ann-$n.vcf"; done
cp personal.inf before.personal
pass "three persons from the server"

echo "== merge, F5: one card, the survivor's, with the values chosen and its telephone line"
driver command "$main" 123 >/dev/null
dialog=$(driver find-dialog "Find duplicates" 101) || fail "the duplicates dialog did not open"
[ "$(driver lb-texts "$dialog" 100 | lines)" = "Ann / Lee, Ann / ann lee (same e-mail, same name)|" ] ||
  fail "sets offered: $(driver lb-texts "$dialog" 100 | lines)"
driver cb-select "$dialog" 102 1 >/dev/null  # Lee, Ann
driver cb-select "$dialog" 103 1 >/dev/null  # lee@example.org
driver cb-select "$dialog" 107 2 >/dev/null  # both memos
driver click "$dialog" 110 >/dev/null
driver gone "$dialog" || fail "the dialog stayed after its last set was merged"
want='P Lee, Ann|lee@example.org|Ann;M;Lee|first / phone|'
persons() { book_summary | grep '^P ' | lines; }
wait_for '[ "$(persons)" = "$want" ]' || fail "the book after the merge: $(book_summary | lines)"
press F5
wait_synced "sync after the merge" "0 new, 0 changed, 0 removed here; 3 sent to the server"
[ "$(cards)" = "ann-1.vcf " ] || fail "after the merge the server holds: $(cards)"
survivor=$(card ann-1.vcf)
for line in 'UID:ann-1' 'FN:Lee\, Ann' 'N:Lee;Ann;M;;' 'EMAIL;TYPE=INTERNET:lee@example.org' 'NOTE:first / phone' \
  'TEL;TYPE=CELL:+1 555 0100'; do
  grep -qxF "$line" <<<"$survivor" || fail "the survivor's card lacks '$line': $(lines <<<"$survivor")"
done
[ "$(persons)" = "$want" ] || fail "the book after the sync: $(book_summary | lines)"
settled "$main"
screenshot "$BOOK/sync-merge.png"
pass "the survivor's card took the values, kept its UID and telephone line; the others' cards went"

echo "== Ctrl+Z, F5: the three cards again, with their UIDs and texts"
press ctrl+z
wait_for 'cmp -s personal.inf before.personal' || fail "the book after Ctrl+Z: $(book_summary | lines)"
press F5
wait_synced "sync after the undo" "0 new, 0 changed, 0 removed here; 3 sent to the server"
[ "$(cards)" = "ann-1.vcf ann-2.vcf ann-3.vcf " ] || fail "after the undo the server holds: $(cards)"
for n in 2 3; do
  [ "$(card "ann-$n.vcf")" = "$(cat "$BOOK/ann-$n.before")" ] ||
    fail "ann-$n.vcf came back as $(card "ann-$n.vcf" | lines), was $(lines < "$BOOK/ann-$n.before")"
done
survivor=$(card ann-1.vcf)
for line in 'UID:ann-1' 'FN:Ann' 'N:;Ann;;;' 'EMAIL;TYPE=INTERNET:ann@example.org' 'NOTE:first' 'TEL;TYPE=CELL:+1 555 0100'; do
  grep -qxF "$line" <<<"$survivor" || fail "the survivor's card lacks '$line' after the undo: $(lines <<<"$survivor")"
done
cmp -s personal.inf before.personal || fail "the book after the sync: $(book_summary | lines)"
settled "$main"
screenshot "$BOOK/sync-merge-undone.png"
pass "the undo put the merged persons' cards back and the survivor's card took its former values"

echo "== a further F5 changes nothing"
press F5
wait_for "[ \"\$(status_text)\" = 'Synchronized: 0 new, 0 changed, 0 removed here; 0 sent to the server' ]" 300 ||
  fail "the sync after the undo's reads '$(status_text)'"
[ "$(cards)" = "ann-1.vcf ann-2.vcf ann-3.vcf " ] || fail "the server holds: $(cards)"
pass "settled"
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"
